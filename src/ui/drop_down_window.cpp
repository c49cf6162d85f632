#include "ui/drop_down_window.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QRegion>
#include <QScrollBar>
#include <QWheelEvent>

#include "grid/custom_grid.h"
#include "grid/grid_mouse.h"
#include "sheets/combo_cells.h"
#include "ui/error_display.h"
#include "ui/grid_view.h"
#include "ui/qt_convert.h"
#include "ui/qt_keys.h"

namespace plu {

namespace {

TPoint Screen(const QPointF& global) {
    const QPoint p = global.toPoint();
    return {p.x(), p.y()};
}

class DropDownWindow : public IKtDropDownWindow {
  public:
    explicit DropDownWindow(TPopupListBox& list) : widget_(new DropDownListWidget(list)) {}
    ~DropDownWindow() override {
        if (widget_) widget_->Detach();
    }
    void Show(const TPopupListBox&) override {
        if (widget_) widget_->ShowList();
    }
    void Changed(const TPopupListBox&) override {
        if (widget_) widget_->Sync();
    }

  private:
    QPointer<DropDownListWidget> widget_;
};

}  // namespace

constexpr int kShadow = 4;

DropDownListWidget::DropDownListWidget(TPopupListBox& list)
    : list_(&list), shadow_(new QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)) {
    shadow_->setAttribute(Qt::WA_ShowWithoutActivating);
    shadow_->setAttribute(Qt::WA_TransparentForMouseEvents);
    shadow_->setFocusPolicy(Qt::NoFocus);
    shadow_->setAutoFillBackground(true);
    QPalette shade = shadow_->palette();
    shade.setColor(QPalette::Window, QColor(96, 96, 96));
    shadow_->setPalette(shade);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAccessibleName(QStringLiteral("Drop-down list"));
    setFont(ToQFont(list.Font()));
    for (const WideString& item : list.Items()) {
        auto* row = new QListWidgetItem(ToQt(item), this);
        row->setSizeHint(QSize(0, list.ItemHeight()));
    }
}

DropDownListWidget::~DropDownListWidget() {
    delete shadow_;
}

void DropDownListWidget::Detach() {
    list_ = nullptr;
    qApp->removeEventFilter(this);
    shadow_->hide();
    hide();
    deleteLater();
}

void DropDownListWidget::ShowList() {
    if (!list_) return;
    const QRect bounds = ToQRect(list_->Bounds());
    setGeometry(bounds);
    // Only the strips that stick out right of and below the list show.
    shadow_->setGeometry(bounds.translated(kShadow, kShadow));
    shadow_->setMask(
        QRegion(0, 0, bounds.width(), bounds.height())
            .subtracted(QRegion(0, 0, bounds.width() - kShadow, bounds.height() - kShadow)));
    Sync();
    qApp->installEventFilter(this);
    shadow_->show();
    show();
    raise();
}

void DropDownListWidget::Sync() {
    if (!list_) return;
    const int index = list_->ItemIndex();
    if (index >= 0 && index < count())
        setCurrentRow(index);
    else
        clearSelection();
    verticalScrollBar()->setValue(list_->TopIndex());
}

bool DropDownListWidget::eventFilter(QObject* watched, QEvent* event) {
    if (!list_) return false;
    const bool own = watched == this || watched == viewport();
    bool consumed = false;
    GuardUi([&] {
        TKtComboBoxCell& cell = list_->Cell();
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: {
                auto* e = static_cast<QMouseEvent*>(event);
                if (own || !watched->isWidgetType() || e->button() != Qt::LeftButton) return;
                consumed = !cell.TrackMouseDown(Screen(e->globalPosition()));
                break;
            }
            case QEvent::MouseButtonRelease: {
                auto* e = static_cast<QMouseEvent*>(event);
                if (own || !watched->isWidgetType() || e->button() != Qt::LeftButton) return;
                consumed = !cell.TrackMouseUp(Screen(e->globalPosition()));
                break;
            }
            case QEvent::KeyPress: {
                // Every widget in the chain sees the key once; take it at its target.
                if (!watched->isWidgetType() || watched != QApplication::focusWidget()) return;
                const uint16_t key = VirtualKey(*static_cast<QKeyEvent*>(event));
                consumed = key != 0 && cell.TrackKeyDown(key);
                break;
            }
            case QEvent::ApplicationDeactivate:
                cell.ApplicationDeactivated();
                break;
            default:
                break;
        }
    });
    return consumed;
}

void DropDownListWidget::mousePressEvent(QMouseEvent* e) {
    if (!list_ || e->button() != Qt::LeftButton) return;
    GuardUi([&] { list_->Cell().TrackMouseDown(Screen(e->globalPosition())); });
}

void DropDownListWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    mousePressEvent(e);
}

void DropDownListWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (!list_ || e->button() != Qt::LeftButton) return;
    GuardUi([&] { list_->Cell().TrackMouseUp(Screen(e->globalPosition())); });
}

void DropDownListWidget::mouseMoveEvent(QMouseEvent* e) {
    if (!list_) return;
    GuardUi([&] { list_->Cell().TrackMouseMove(Screen(e->globalPosition())); });
}

void DropDownListWidget::wheelEvent(QWheelEvent* e) {
    if (!list_) return;
    wheelRest_ += e->angleDelta().y();
    const int notches = wheelRest_ / TKtGridMouse::kWheelDelta;
    wheelRest_ -= notches * TKtGridMouse::kWheelDelta;
    // Away from the user (positive) scrolls up: rows go negative.
    if (notches != 0) GuardUi([&] { list_->Cell().TrackWheel(-notches); });
    e->accept();
}

std::unique_ptr<IKtDropDownWindow> QtDropDownHost::CreateDropDownWindow(TPopupListBox& list) {
    return std::make_unique<DropDownWindow>(list);
}

TPoint QtDropDownHost::ClientToScreen(const TKtCustomGrid& grid, TPoint client) const {
    auto* view = dynamic_cast<GridView*>(grid.View());
    if (!view) return client;
    const QPoint p = view->viewport()->mapToGlobal(QPoint(client.X, client.Y));
    return {p.x(), p.y()};
}

QtDropDownHost& DropDownHost() {
    static QtDropDownHost host;
    return host;
}

}  // namespace plu

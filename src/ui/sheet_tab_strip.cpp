#include "ui/sheet_tab_strip.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include "sheets/grid_sheet.h"
#include "sheets/sheet_control.h"
#include "ui/error_display.h"
#include "ui/grid_view.h"
#include "ui/qt_canvas.h"
#include "ui/qt_convert.h"
#include "ui/qt_keys.h"
#include "ui/sheet_area.h"
#include "ui/tab_strip_accessible.h"

namespace plu {

SheetTabStrip::SheetTabStrip(TVexaSheetControl& control, SheetArea& area, QWidget* parent)
    : QWidget(parent), control_(control), area_(area) {
    InstallTabStripAccessibility();
    setFixedHeight(style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Sheet tabs"));
    bar_ = new QScrollBar(Qt::Horizontal, this);
    bar_->setFocusPolicy(Qt::NoFocus);
    // The bar's moves scroll the active sheet through its view's own bar.
    connect(bar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (mirrored_) mirrored_->horizontalScrollBar()->setValue(value);
    });
    rename_ = new QLineEdit(this);
    rename_->setFrame(false);
    rename_->hide();
    rename_->installEventFilter(this);
    rename_->setAccessibleName(QStringLiteral("Sheet name"));
    Sync();
}

SheetTabStrip::~SheetTabStrip() {
    if (mirrored_) mirrored_->OnScrollBarsSynced = nullptr;
}

void SheetTabStrip::MirrorScrollBar(GridView* view) {
    if (view == mirrored_) {
        if (view) {
            const QScrollBar* h = view->horizontalScrollBar();
            const QSignalBlocker block(bar_);
            bar_->setRange(h->minimum(), h->maximum());
            bar_->setPageStep(h->pageStep());
            bar_->setValue(h->value());
        }
        return;
    }
    if (mirrored_) mirrored_->OnScrollBarsSynced = nullptr;
    mirrored_ = view;
    if (!view) return;
    // Range and position follow the active sheet.
    view->OnScrollBarsSynced = [this] { Sync(); };
    MirrorScrollBar(view);
}

TFont SheetTabStrip::StripFont() const {
    // The strip is as high as a scroll bar; a sheet font sized for the cells
    // (the PLU sheet's 12 points) would cut the captions off, so the
    // captions keep the control's face at a height that fits the tabs.
    TFont font = control_.Font();
    const int fits = std::max(height() - 4, 8);
    const int h = font.Height() < 0 ? -font.Height() : font.Height();
    if (h > fits) font.SetHeight(-fits);
    return font;
}

void SheetTabStrip::Sync() {
    GridView* view = area_.ActiveView();
    if (isHidden() == control_.ShowTabset()) {
        setVisible(control_.ShowTabset());
        // The sheet shows its own horizontal bar exactly while the strip is hidden.
        if (view) view->UpdateScrollBars(true, false);
    }
    layout_.SetTabs(control_.Tabs(), DefaultTextMeasurer(), StripFont());
    layout_.SetScrollBarLength(control_.HorzScrollBarLength());
    // The active sheet's vertical bar sits above the strip's right end.
    const QScrollBar* v = view ? view->verticalScrollBar() : nullptr;
    layout_.SetRightInset(v && v->isVisible() ? v->width() : 0);
    layout_.SetBounds(width(), height());
    bar_->setGeometry(ToQRect(layout_.ScrollBarRect()));
    MirrorScrollBar(view);
    if (control_.Renaming()) {
        rename_->setGeometry(ToQRect(layout_.RenameRect(control_.RenameTab())));
        if (!rename_->isVisible()) {
            rename_->setFont(ToQFont(StripFont()));
            rename_->setText(ToQt(control_.RenameText()));
            rename_->selectAll();
            rename_->show();
            rename_->setFocus(Qt::MouseFocusReason);
        }
    } else if (rename_->isVisible()) {
        rename_->hide();
    }
    update();
}

void SheetTabStrip::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    QtCanvas canvas(painter, e->region());
    GuardUi([&] { layout_.Paint(canvas, control_.Tabs(), control_.TabIndex(), StripFont()); });
}

void SheetTabStrip::resizeEvent(QResizeEvent*) {
    Sync();
}

void SheetTabStrip::AfterInput() {
    area_.Sync();
    Sync();
}

void SheetTabStrip::Press(QMouseEvent* e, bool dbl) {
    const QPoint p = e->position().toPoint();
    TShiftState shift = ShiftOf(e->modifiers(), e->buttons());
    if (dbl) shift = shift.With(TShift::ssDouble);
    const TMouseButton button = ButtonOf(e->button());
    GuardUi([&] {
        // A press anywhere on the strip first commits an open rename.
        if (control_.Renaming()) EndRename(true);
        const TKtTabStripHit hit = layout_.HitTest(p.x(), p.y(), control_.TabIndex());
        pressedTab_ = -1;
        switch (hit.Part) {
            case TKtTabStripPart::First:
            case TKtTabStripPart::Previous:
            case TKtTabStripPart::Next:
            case TKtTabStripPart::Last:
                if (button == TMouseButton::mbLeft) layout_.Navigate(hit.Part);
                break;
            case TKtTabStripPart::Splitter:
                draggingSplitter_ = button == TMouseButton::mbLeft;
                break;
            case TKtTabStripPart::Tab:
                pressedTab_ = hit.Tab;
                control_.TabMouseDown(button, shift, hit.Tab);
                break;
            default:
                break;
        }
    });
    AfterInput();
}

void SheetTabStrip::mousePressEvent(QMouseEvent* e) {
    Press(e, false);
}
void SheetTabStrip::mouseDoubleClickEvent(QMouseEvent* e) {
    Press(e, true);
}

void SheetTabStrip::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (draggingSplitter_) {
        GuardUi([&] {
            control_.SetHorzScrollBarLength(layout_.ScrollBarLengthForSplitterAt(p.x() - 2));
        });
        Sync();
        return;
    }
    const bool onSplitter =
        layout_.HitTest(p.x(), p.y(), control_.TabIndex()).Part == TKtTabStripPart::Splitter;
    setCursor(onSplitter ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void SheetTabStrip::mouseReleaseEvent(QMouseEvent* e) {
    if (draggingSplitter_) {
        draggingSplitter_ = false;
        return;
    }
    const QPoint p = e->position().toPoint();
    GuardUi([&] {
        const TKtTabStripHit hit = layout_.HitTest(p.x(), p.y(), control_.TabIndex());
        if (hit.Part == TKtTabStripPart::Tab)
            control_.TabMouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()),
                                hit.Tab);
    });
    pressedTab_ = -1;
    AfterInput();
    if (!control_.Renaming()) FocusActiveSheet();
}

void SheetTabStrip::EndRename(bool commit) {
    if (commit) {
        control_.SetRenameText(FromQt(rename_->text()));
        control_.CommitRename();
    } else {
        control_.CancelRename();
    }
    rename_->hide();
}

bool SheetTabStrip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == rename_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            GuardUi([&] { EndRename(key != Qt::Key_Escape); });
            AfterInput();
            FocusActiveSheet();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SheetTabStrip::focusInEvent(QFocusEvent*) {
    FocusActiveSheet();
}

void SheetTabStrip::FocusActiveSheet() {
    if (GridView* view = area_.ActiveView()) view->setFocus(Qt::OtherFocusReason);
}

}  // namespace plu

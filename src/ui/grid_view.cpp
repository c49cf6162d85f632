#include "ui/grid_view.h"

#include <QAccessible>
#include <QApplication>
#include <QInputMethodEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include "clipboard/grid_clipboard.h"
#include "grid/copy_marquee.h"
#include "grid/custom_grid.h"
#include "grid/editor_keys.h"
#include "grid/grid_painter.h"
#include "grid/grid_selection.h"
#include "sheets/data_grid.h"
#include "sheets/grid_sheet.h"
#include "sheets/sheet_control.h"
#include "ui/drop_down_window.h"
#include "ui/error_display.h"
#include "ui/qt_canvas.h"
#include "ui/qt_convert.h"
#include "ui/qt_keys.h"

namespace plu {

namespace {

// The auto-scroll timer while a drag leaves the scrolled area.
constexpr int kAutoScrollMilliseconds = TKtGridMouse::kAutoScrollInterval;

// The first scrolled row (column) at which the last one still ends inside
// the scrolled area: the largest useful scroll position. Walks only the
// rows that fit on the screen.
template <typename Size>
int LastScrollStart(int count, int first, int avail, Size size) {
    int start = count - 1;
    if (start <= first) return first;
    int used = size(start);
    while (start > first && used + size(start - 1) <= std::max(avail, 1)) {
        used += size(start - 1);
        --start;
    }
    return start;
}

IKtGridClipboard*& DefaultClipboard() {
    static IKtGridClipboard* clipboard = nullptr;
    return clipboard;
}

TKtGridClipboard* CopyService(const TKtCustomGrid* grid) {
    return grid ? dynamic_cast<TKtGridClipboard*>(grid->Clipboard()) : nullptr;
}

}  // namespace

void GridView::SetDefaultClipboard(IKtGridClipboard* clipboard) { DefaultClipboard() = clipboard; }

GridView::GridView(TKtCustomGrid& grid, QWidget* parent)
    : QAbstractScrollArea(parent), grid_(&grid) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setFrameStyle(QFrame::NoFrame);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setAccessibleName(QStringLiteral("Sheet"));

    edit_ = std::make_unique<QtCellMaskEdit>(viewport());
    edit_->OnError = [](const std::exception& e) { ShowUiError(e); };
    editor_ = std::make_unique<TKtEditor>(grid);
    editor_->SetDefaultControl(edit_.get());
    editor_->SetHost(this);
    mouse_ = std::make_unique<TKtGridMouse>(grid);
    // Combo cells open their lists in windows of ours.
    if (auto* data = dynamic_cast<TKtCustomDataGrid*>(&grid); data && !data->DropDownHost())
        data->SetDropDownHost(&DropDownHost());

    grid.SetView(this);
    if (!grid.Clipboard() && DefaultClipboard()) grid.SetClipboard(DefaultClipboard());
    marquee_.setInterval(kCopyMarqueeInterval);
    connect(&marquee_, &QTimer::timeout, this, [this] {
        GuardUi([&] {
            TKtGridClipboard* service = CopyService(grid_);
            if (service && service->HoldsCopyOf(*grid_)) service->MarqueeTick();
            else marquee_.stop();
        });
    });
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { ScrollBarMoved(); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { ScrollBarMoved(); });

    autoScroll_.setInterval(kAutoScrollMilliseconds);
    connect(&autoScroll_, &QTimer::timeout, this, [this] {
        GuardUi([&] {
            if (!grid_ || !mouse_->NeedsAutoScroll()) {
                autoScroll_.stop();
                return;
            }
            mouse_->Tick();
        });
    });
    SyncScrollBars();
}

GridView::~GridView() {
    if (OnDestroying) OnDestroying();
    autoScroll_.stop();
    marquee_.stop();
    if (grid_) {
        // The editor commits an open edit as it goes (leaving editing mode).
        mouse_.reset();
        editor_.reset();
        if (grid_->View() == this) grid_->SetView(nullptr);
    }
}

void GridView::GridDestroying() {
    // The grid has ended its edit; what is left refers to it and goes now.
    autoScroll_.stop();
    marquee_.stop();
    if (editor_ && editor_->Cell()) editor_->CellGone(*editor_->Cell());
    mouse_.reset();
    editor_.reset();
    edit_->Widget().hide();
    grid_ = nullptr;
    viewport()->update();
    if (OnGridGone) OnGridGone();
}

// ---- IKtGridView -----------------------------------------------------------------------------------

void GridView::InvalidateRect(const TRect& pixels) {
    if (!pixels.IsEmpty()) viewport()->update(ToQRect(pixels));
}

void GridView::InvalidateAll() {
    viewport()->update();
    if (OnStructureChanged) OnStructureChanged();
}

void GridView::UpdateScrollBars(bool, bool) { SyncScrollBars(); }

void GridView::CurrentCellChanged(int col, int row) {
    if (!grid_ || !QAccessible::isActive()) return;
    (void)col;
    (void)row;
    // The accessible table reports the new focused cell.
    QAccessibleEvent focus(this, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

void GridView::ViewLockChanged() {
    SyncScrollBars();
    viewport()->update();
}

// ---- Scroll bars: rows and columns, not pixels --------------------------------------------------------

void GridView::SyncScrollBars() {
    if (!grid_ || syncing_) return;
    syncing_ = true;
    const TKtCustomGrid& g = *grid_;
    // The last scroll position still fills the client area with cells: the
    // last row (column) then ends at the bottom (right) edge or above it.
    const int firstRow = g.ViewLockRow();
    const int firstCol = g.ViewLockCol();
    const int maxTop = LastScrollStart(g.RowCount(), firstRow,
                                       g.ClientHeight() - g.CellsToPixels({0, 0, 1, firstRow}).Height(),
                                       [&](int r) { return g.RowHeights(r); });
    const int maxLeft = LastScrollStart(g.ColCount(), firstCol,
                                        g.ClientWidth() - g.CellsToPixels({0, 0, firstCol, 1}).Width(),
                                        [&](int c) { return g.ColWidths(c); });
    // Cells that now fit need no scrolling: a grid scrolled while it had
    // no window (its default client size) or a wider window comes back.
    if (g.TopRow() > maxTop || g.LeftCol() > maxLeft) {
        syncing_ = false;
        if (g.TopRow() > maxTop) grid_->SetTopRow(maxTop);
        if (g.LeftCol() > maxLeft) grid_->SetLeftCol(maxLeft);
        SyncScrollBars();
        return;
    }
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    {
        const QSignalBlocker bv(v), bh(h);
        v->setRange(0, std::max(0, maxTop - firstRow));
        v->setPageStep(std::max(1, (g.ClientHeight() / std::max(1, g.DefaultRowHeight())) - 1));
        v->setValue(g.TopRow() - firstRow);
        h->setRange(0, std::max(0, maxLeft - firstCol));
        h->setPageStep(std::max(1, g.ClientWidth() / std::max(1, g.DefaultColWidth()) - 1));
        h->setValue(g.LeftCol() - firstCol);
    }
    setVerticalScrollBarPolicy(g.HasOptionEx(TGridOptionEx::goxHideVertScrollBar)
                                   ? Qt::ScrollBarAlwaysOff
                                   : Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(g.HasOptionEx(TGridOptionEx::goxHideHorzScrollBar)
                                     ? Qt::ScrollBarAlwaysOff
                                     : Qt::ScrollBarAsNeeded);
    syncing_ = false;
    if (OnScrollBarsSynced) OnScrollBarsSynced();
}

void GridView::ScrollBarMoved() {
    if (!grid_ || syncing_) return;
    GuardUi([&] {
        grid_->SetTopRow(grid_->ViewLockRow() + verticalScrollBar()->value());
        grid_->SetLeftCol(grid_->ViewLockCol() + horizontalScrollBar()->value());
    });
}

void GridView::scrollContentsBy(int, int) {
    // Scrolling moves LeftCol / TopRow; the grid asks for its repaint.
}

// ---- Events --------------------------------------------------------------------------------------

bool GridView::event(QEvent* e) {
    // Tab moves between cells, not between widgets.
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            keyPressEvent(k);
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

bool GridView::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::Leave && grid_) {
        GuardUi([&] { mouse_->Leave(); });
        AfterMouse();
    }
    if (e->type() == QEvent::ToolTip && grid_) {
        const QString hint = ToQt(mouse_->HintText());
        if (!hint.isEmpty()) QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), hint, this);
        return true;
    }
    return QAbstractScrollArea::viewportEvent(e);
}

void GridView::paintEvent(QPaintEvent* e) {
    QPainter painter(viewport());
    if (!grid_) {
        painter.fillRect(e->rect(), palette().color(QPalette::Window));
        return;
    }
    GuardUi([&] {
        QtCanvas canvas(painter, e->region());
        PaintGrid(*grid_, canvas, FromQRect(e->rect()), hasFocus() || (edit_ && edit_->Widget().hasFocus()));
        if (TKtGridClipboard* service = CopyService(grid_); service && service->HoldsCopyOf(*grid_)) {
            DrawCopyMarquee(*grid_, canvas, service->MarqueePhase());
            if (!marquee_.isActive()) marquee_.start();
        }
        for (const TRect& r : mouse_->Feedback()) canvas.InvertRect(r);
    });
}

void GridView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    if (!grid_) return;
    GuardUi([&] {
        grid_->SetClientSize(viewport()->width(), viewport()->height());
        if (!sized_) {
            // The grid may have scrolled for a size it only assumed before it
            // had a window, or for the small sizes a window passes through
            // while it is laid out before it shows: it first shows from its
            // origin, scrolled only as far as its current cell needs at the
            // size it is shown with.
            sized_ = isVisible();
            const TPoint current = grid_->Selection().Current();
            grid_->SetLeftCol(grid_->ViewLockCol());
            grid_->SetTopRow(grid_->ViewLockRow());
            if (grid_->IsBodyCell(current.X, current.Y)) grid_->ScrollIntoView(current.X, current.Y);
        }
        if (editor_ && editor_->IsOpen()) editor_->UpdateBounds(false);
    });
    SyncScrollBars();
}

void GridView::keyPressEvent(QKeyEvent* e) {
    if (!grid_) return;
    GuardUi([&] {
        uint16_t key = VirtualKey(*e);
        const TShiftState shift = ShiftOf(e->modifiers());
        if (key != 0) {
            auto* sheet = dynamic_cast<TVexaGridSheet*>(grid_);
            if (sheet && sheet->SheetControl() && sheet->SheetControl()->SheetKeyDown(*sheet, key, shift))
                return;
            GridKeyDown(*grid_, key, shift);
            if (key == 0) return;
        }
        // With Ctrl held a key is a command: some platforms still report its
        // letter as text, which must not start an edit.
        const Qt::KeyboardModifiers mods = e->modifiers();
        if (mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier)) return;
        for (QChar qc : e->text()) {
            if (!grid_) return;
            char16_t ch = qc.unicode();
            GridKeyPress(*grid_, ch);
        }
    });
}

void GridView::keyReleaseEvent(QKeyEvent* e) {
    if (!grid_) return;
    GuardUi([&] {
        uint16_t key = VirtualKey(*e);
        if (key != 0) GridKeyUp(*grid_, key, ShiftOf(e->modifiers()));
    });
}

void GridView::mousePressEvent(QMouseEvent* e) {
    if (!grid_) return;
    setFocus(Qt::MouseFocusReason);
    const QPoint p = e->position().toPoint();
    GuardUi([&] { mouse_->MouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
    AfterMouse();
}

void GridView::mouseMoveEvent(QMouseEvent* e) {
    if (!grid_) return;
    const QPoint p = e->position().toPoint();
    GuardUi([&] { mouse_->MouseMove(ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
    AfterMouse();
}

void GridView::mouseReleaseEvent(QMouseEvent* e) {
    if (!grid_) return;
    const QPoint p = e->position().toPoint();
    GuardUi([&] { mouse_->MouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
    AfterMouse();
}

void GridView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!grid_) return;
    const QPoint p = e->position().toPoint();
    GuardUi([&] {
        mouse_->DoubleClick(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
    });
    AfterMouse();
}

void GridView::AfterMouse() {
    if (!grid_ || !mouse_) return;
    if (mouse_->NeedsAutoScroll()) {
        if (!autoScroll_.isActive()) autoScroll_.start();
    } else {
        autoScroll_.stop();
    }
    ApplyCursor();
    viewport()->update();
}

void GridView::ApplyCursor() {
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (mouse_->Cursor()) {
        case TKtCursor::crArrow: shape = Qt::ArrowCursor; break;
        case TKtCursor::crColSize: shape = Qt::SplitHCursor; break;
        case TKtCursor::crRowSize: shape = Qt::SplitVCursor; break;
        case TKtCursor::crMove: shape = Qt::SizeAllCursor; break;
        case TKtCursor::crCross: shape = Qt::CrossCursor; break;
    }
    if (viewport()->cursor().shape() != shape) viewport()->setCursor(shape);
}

void GridView::wheelEvent(QWheelEvent* e) {
    if (!grid_) return;
    bool taken = false;
    GuardUi([&] { taken = mouse_->Wheel(e->angleDelta().y(), ShiftOf(e->modifiers())); });
    if (taken) e->accept();
    else e->ignore();
}

void GridView::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    // An open editor keeps the keyboard: focus on the grid hands it over.
    if (editor_ && editor_->IsOpen() && editor_->Visible() && e->reason() != Qt::MouseFocusReason)
        edit_->Widget().setFocus(Qt::OtherFocusReason);
}

void GridView::inputMethodEvent(QInputMethodEvent* e) {
    if (!grid_) return;
    // A composition starting on the grid opens the current cell's editor
    // with its text selected; the composition then continues there.
    GuardUi([&] {
        if (!grid_->EditorMode()) GridStartComposition(*grid_);
    });
    if (editor_ && editor_->IsOpen()) {
        QCoreApplication::sendEvent(&edit_->Widget(), e);
        return;
    }
    e->ignore();
}

QVariant GridView::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (grid_ && query == Qt::ImCursorRectangle) {
        const TRect r = grid_->CellRect(grid_->CurrentCol(), grid_->CurrentRow());
        return ToQRect(r);
    }
    if (query == Qt::ImEnabled) return true;
    return QAbstractScrollArea::inputMethodQuery(query);
}

// ---- IKtEditorHost --------------------------------------------------------------------------------------

void GridView::FocusGrid() { setFocus(Qt::OtherFocusReason); }

void GridView::Beep() { QApplication::beep(); }

bool GridView::ShowException(const std::exception& error) {
    ShowUiError(error);
    return true;
}

}  // namespace plu

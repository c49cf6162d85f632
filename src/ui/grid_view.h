// The window of one grid: a QAbstractScrollArea whose viewport shows the
// grid's client area. It implements IKtGridView (repaints of exact
// rectangles, scroll bars in rows and columns, the editor kept over its
// cell) and forwards Qt's input to the core as plain values: keys to the
// grid's key table, the mouse to the toolkit-free mouse layer, paints to the
// painter on a QtCanvas. It decides nothing itself.
//
// Lifetime: the grid belongs to its sheet control, not to the view. When the
// grid goes first, the view lets go of it (GridDestroying) and shows nothing.
#pragma once

#include <QAbstractScrollArea>
#include <QTimer>
#include <functional>
#include <memory>

#include "grid/editor.h"
#include "grid/grid_host.h"
#include "grid/grid_mouse.h"
#include "ui/cell_edit_widget.h"

namespace plu {

class TKtCustomGrid;

class GridView : public QAbstractScrollArea, public IKtGridView, private IKtEditorHost {
    Q_OBJECT
  public:
    explicit GridView(TKtCustomGrid& grid, QWidget* parent = nullptr);
    ~GridView() override;

    // The grid shown, nullptr once it went.
    TKtCustomGrid* Grid() const { return grid_; }
    TKtEditor* Editor() const { return editor_.get(); }
    QtCellMaskEdit* EditControl() const { return edit_.get(); }
    TKtGridMouse* Mouse() const { return mouse_.get(); }

    // The clipboard service every grid shown from now on gets unless it has
    // one (the window installs the process's one).
    static void SetDefaultClipboard(IKtGridClipboard* clipboard);

    // ---- IKtGridView --------------------------------------------------------------
    void InvalidateRect(const TRect& pixels) override;
    void InvalidateAll() override;
    void UpdateScrollBars(bool horizontal, bool vertical) override;
    void CurrentCellChanged(int col, int row) override;
    void ViewLockChanged() override;
    void GridDestroying() override;

    // The grid's cells changed where the accessible table may have cached
    // them (rows or columns inserted, deleted, moved).
    std::function<void()> OnStructureChanged;
    // The view is being destroyed: called first thing in its destructor, so
    // that the accessible table, which Qt frees later in that destruction
    // (when the widget's destroyed() is emitted), no longer touches it.
    std::function<void()> OnDestroying;
    // The grid went (after the view let go of it).
    std::function<void()> OnGridGone;
    // The scroll bars took the grid's range and position (set without
    // signals); the tab strip mirrors the horizontal one from here.
    std::function<void()> OnScrollBarsSynced;

  protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    // IKtEditorHost
    void FocusGrid() override;
    void Beep() override;
    bool ShowException(const std::exception& error) override;

    void SyncScrollBars();
    void ScrollBarMoved();
    void AfterMouse();
    void ApplyCursor();

    TKtCustomGrid* grid_;
    std::unique_ptr<QtCellMaskEdit> edit_;
    std::unique_ptr<TKtEditor> editor_;
    std::unique_ptr<TKtGridMouse> mouse_;
    QTimer autoScroll_;
    // Moves the copy marquee's dashes while this grid's copy is pending.
    QTimer marquee_;
    bool syncing_ = false;
    bool sized_ = false;  // the window has given the grid its size once
};

}  // namespace plu

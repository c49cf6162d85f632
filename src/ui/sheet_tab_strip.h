// The sheet control's tab strip on screen, below the sheet area: it paints
// and hit-tests through TKtTabStripLayout, reports presses and releases on
// tabs to the sheet control (which changes the model), scrolls its tab
// area with the navigation buttons, resizes its scroll bar with the
// splitter, shows the rename box over a tab being renamed, and carries the
// active sheet's horizontal scroll bar (mirrored from that sheet's view,
// whose own bar stays hidden while the strip shows).
#pragma once

#include <QPointer>
#include <QWidget>

#include "sheets/tab_strip.h"

class QLineEdit;
class QScrollBar;

namespace plu {

class GridView;
class SheetArea;
class TVexaSheetControl;

class SheetTabStrip : public QWidget {
  public:
    SheetTabStrip(TVexaSheetControl& control, SheetArea& area, QWidget* parent = nullptr);
    ~SheetTabStrip() override;

    // Follows the control: tabs, current tab, scroll bar, rename box.
    void Sync();
    const TKtTabStripLayout& Layout() const { return layout_; }
    TVexaSheetControl& Control() const { return control_; }
    QScrollBar* ScrollBar() const { return bar_; }
    QLineEdit* RenameBox() const { return rename_; }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The control's font, no higher than the strip lets a caption be.
    TFont StripFont() const;
    void Press(QMouseEvent* e, bool dbl);
    // Ends a rename: commit (Enter, a press on the strip) or cancel (Escape).
    void EndRename(bool commit);
    void FocusActiveSheet();
    void MirrorScrollBar(GridView* view);
    void AfterInput();

    TVexaSheetControl& control_;
    SheetArea& area_;
    TKtTabStripLayout layout_;
    QScrollBar* bar_;
    QLineEdit* rename_;
    QPointer<GridView> mirrored_;
    bool draggingSplitter_ = false;
    int pressedTab_ = -1;
};

}  // namespace plu

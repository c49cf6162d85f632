// The formatting toolbars of the main window on screen: ToolBar3 (font name,
// font size, bold, italic, underline, font colour) and ToolBar2 (line width,
// border colour, border choice) with their two drop-down panels (the colour
// box and the border palette). All rules live in FormattingToolbar
// (src/app); these widgets show its state and forward the user's actions.
// The window places the two toolbars, forwards its IShell font-box methods
// here, and calls CurrentChanged when the cell cursor moves and
// UpdateActions when idle.
#pragma once

#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QToolBar>
#include <QToolButton>
#include <array>
#include <functional>

#include "app/formatting.h"
#include "ui/color_controls.h"

namespace plu {

class TKtCustomGrid;

// One of our own 16 x 16 pictures: "bold", "italic", "underline",
// "font_color", "border_color", "border_<choice>".
QIcon FormatPicture(const QString& name);

class FormatToolBars : public QObject {
  public:
    // grid: the active worksheet, or nullptr. The toolbars and panels are
    // children of parent.
    FormatToolBars(std::function<TKtCustomGrid*()> grid, QWidget* parent);
    ~FormatToolBars() override;

    QToolBar* ToolBar3() const { return toolBar3_; }
    QToolBar* ToolBar2() const { return toolBar2_; }
    FormattingToolbar& Logic() { return logic_; }

    // The screen's font families become the font box's items.
    void LoadFontList();
    // Fills the line-width box (and selects " Thin  ").
    void LoadLineWidths();

    // ---- The window's IShell font boxes -----------------------------------------------------
    WideString FontNameBoxText() const { return logic_.FontNameText(); }
    void SetFontNameBoxText(WideStringView text) { logic_.SetFontNameText(text); }
    WideString FontSizeBoxText() const { return logic_.FontSizeText(); }
    void SetFontSizeBoxText(WideStringView text) { logic_.SetFontSizeText(text); }

    // The cell cursor moved to (col, row) of the active sheet.
    void CurrentChanged(int col, int row);
    // Idle: the check marks follow the selection.
    void UpdateActions();

    // ---- The controls (for the window and the tests) ------------------------------------------
    QComboBox* cbFonts = nullptr;
    QComboBox* cbFontSize = nullptr;
    QComboBox* cbLineWidth = nullptr;
    QAction* FontBold = nullptr;
    QAction* FontItalic = nullptr;
    QAction* FontUnderline = nullptr;
    QAction* TextColor = nullptr;
    QAction* BorderColor = nullptr;
    QAction* BorderLine = nullptr;
    TKtColorToolButton* tbFontColor = nullptr;
    TKtColorToolButton* tbBorderColor = nullptr;
    TKtToolButton* tbBorderLine = nullptr;
    TKtPopupPanel* PopupPanel = nullptr;
    TKtPopupPanel* PopupPanelBorder = nullptr;
    ColorBoxWidget* ColorBox = nullptr;
    QWidget* ToolBar4 = nullptr;
    // The border palette's buttons in kBorderPaletteTags order.
    std::array<QToolButton*, kBorderPaletteTags.size()> PaletteButtons{};

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QLineEdit> sizeEdit_;  // cbFontSize's edit, watched for Enter

  private:
    void BuildToolBar3(QWidget* parent);
    void BuildToolBar2(QWidget* parent);
    // A colour button on `bar` for `action`, dropping the colour box down
    // under itself after `dropDown` has readied the box.
    TKtColorToolButton* AddColorButton(QToolBar& bar, QAction& action, const QString& name,
                                       WideStringView caption, int alignment, std::function<void()> dropDown);
    void BuildPanels();
    // Shows the logic's state without raising any change handler.
    void Sync();
    void ApplyFontSize(const QString& text);

    FormattingToolbar logic_;
    // Children of the window, not of this object: the window may delete
    // either first.
    QPointer<QToolBar> toolBar3_;
    QPointer<QToolBar> toolBar2_;
};

}  // namespace plu

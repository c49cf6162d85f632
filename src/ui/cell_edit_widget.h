// The in-place editor's text control: TKtCellMaskEdit over a QPlainTextEdit
// laid on the grid view's viewport. The controller (TKtEditor) decides; this
// class carries its decisions to the widget and the user's keys back to it.
//
// The core counts a line break as "\r\n" (two UTF-16 units); the widget
// keeps "\n". Positions are converted at this border, so the caret and the
// selection the controller sees are those of the core's text.
#pragma once

#include <QPlainTextEdit>
#include <functional>

#include "grid/editor_control.h"

namespace plu {

class QtCellMaskEdit;

class CellEditWidget : public QPlainTextEdit {
  public:
    CellEditWidget(QtCellMaskEdit& owner, QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QtCellMaskEdit& owner_;
};

class QtCellMaskEdit : public TKtCellMaskEdit {
  public:
    // parent: the grid view's viewport (bounds are its pixels).
    explicit QtCellMaskEdit(QWidget* parent);
    ~QtCellMaskEdit() override;

    WideString Text() const override;
    void SetText(WideStringView text) override;
    int SelStart() const override;
    int SelLength() const override;
    int CaretPos() const override;
    void SetSelection(int start, int length) override;
    void ReplaceSelection(WideStringView text) override;
    void TypeChar(char16_t ch) override;

    bool MultiLine() const override { return multiLine_; }
    void SetMultiLine(bool on) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    TRect Bounds() const override { return bounds_; }
    void SetBounds(const TRect& bounds) override;
    void SetFont(const TFont& font) override;
    void SetColor(TColor color) override;
    void SetFocus() override;
    void CancelMode() override;
    void Command(TKtEditCommand command) override;
    void ClickAt(int x, int y) override;

    CellEditWidget& Widget() const { return *widget_; }
    // Where an exception raised by the controller while handling a key goes
    // (nothing may leave a Qt event handler).
    std::function<void(const std::exception&)> OnError;

  private:
    friend class CellEditWidget;
    // Runs work with the widget's change signal not reported to the editor.
    template <typename Work>
    void Quietly(Work&& work);
    void TextChangedByUser();
    int ToQtPos(int corePos) const;
    int ToCorePos(int qtPos) const;

    CellEditWidget* widget_;
    bool multiLine_ = false;
    bool quiet_ = false;
    TRect bounds_{-100, -100, -100, -100};
};

}  // namespace plu

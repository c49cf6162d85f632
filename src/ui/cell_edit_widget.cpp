#include "ui/cell_edit_widget.h"

#include <QApplication>
#include <QInputMethod>
#include <QScrollBar>
#include <QTextBlock>

#include "grid/editor.h"
#include "ui/qt_convert.h"
#include "ui/qt_keys.h"

namespace plu {

// ---- CellEditWidget ------------------------------------------------------------------------

CellEditWidget::CellEditWidget(QtCellMaskEdit& owner, QWidget* parent)
    : QPlainTextEdit(parent), owner_(owner) {
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    document()->setDocumentMargin(1);
    setAccessibleName(QStringLiteral("Cell editor"));
    connect(this, &QPlainTextEdit::textChanged, this, [this] { owner_.TextChangedByUser(); });
}

bool CellEditWidget::event(QEvent* e) {
    // Tab and Backtab belong to the editor's key table, not to focus chains.
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            keyPressEvent(k);
            return true;
        }
    }
    return QPlainTextEdit::event(e);
}

void CellEditWidget::keyPressEvent(QKeyEvent* e) {
    TKtEditor* editor = owner_.Editor();
    if (!editor) {
        QPlainTextEdit::keyPressEvent(e);
        return;
    }
    try {
        uint16_t key = VirtualKey(*e);
        const TShiftState shift = ShiftOf(e->modifiers());
        if (key != 0) {
            editor->ControlKeyDown(key, shift);
            // A consumed key also suppresses the character it would type.
            if (key == 0) {
                e->accept();
                return;
            }
        }
        // Characters: Backspace and printable text go through the
        // controller's character rules and are then applied here.
        QString text = e->text();
        if (e->key() == Qt::Key_Backspace) text = QString(QChar(8));
        const bool ctrl = e->modifiers().testFlag(Qt::ControlModifier);
        bool typed = false;
        for (QChar qc : text) {
            char16_t ch = qc.unicode();
            if (ch != 8 && (ch < 0x20 || ch == 0x7F)) continue;
            if (ctrl && ch != 8) continue;  // shortcuts are the widget's own
            typed = true;
            editor->ControlKeyPress(ch);
            if (ch != 0) {
                owner_.TypeChar(ch);
                if (owner_.Editor()) owner_.Editor()->ControlCharTaken(ch);
            }
        }
        if (typed) {
            e->accept();
            return;
        }
        QPlainTextEdit::keyPressEvent(e);
    } catch (const std::exception& error) {
        if (owner_.OnError) owner_.OnError(error);
    }
}

void CellEditWidget::keyReleaseEvent(QKeyEvent* e) {
    TKtEditor* editor = owner_.Editor();
    try {
        uint16_t key = VirtualKey(*e);
        if (editor && key != 0) editor->ControlKeyUp(key, ShiftOf(e->modifiers()));
    } catch (const std::exception& error) {
        if (owner_.OnError) owner_.OnError(error);
    }
    QPlainTextEdit::keyReleaseEvent(e);
}

void CellEditWidget::inputMethodEvent(QInputMethodEvent* e) {
    // Committed text of an input method is typed text: each character
    // passes the controller's rules like a key would.
    const QString commit = e->commitString();
    TKtEditor* editor = owner_.Editor();
    if (commit.isEmpty() || !editor) {
        QPlainTextEdit::inputMethodEvent(e);
        return;
    }
    QInputMethodEvent preeditOnly(e->preeditString(), e->attributes());
    QPlainTextEdit::inputMethodEvent(&preeditOnly);
    try {
        for (QChar qc : commit) {
            char16_t ch = qc.unicode();
            editor->ControlKeyPress(ch);
            if (ch != 0) {
                owner_.TypeChar(ch);
                if (owner_.Editor()) owner_.Editor()->ControlCharTaken(ch);
            }
        }
    } catch (const std::exception& error) {
        if (owner_.OnError) owner_.OnError(error);
    }
    e->accept();
}

// ---- QtCellMaskEdit -----------------------------------------------------------------------------

QtCellMaskEdit::QtCellMaskEdit(QWidget* parent) : widget_(new CellEditWidget(*this, parent)) {
    widget_->hide();
}

QtCellMaskEdit::~QtCellMaskEdit() {
    // The widget belongs to the viewport; it must not call back any more.
    widget_->disconnect();
    quiet_ = true;
}

template <typename Work>
void QtCellMaskEdit::Quietly(Work&& work) {
    const bool was = quiet_;
    quiet_ = true;
    work();
    quiet_ = was;
}

void QtCellMaskEdit::TextChangedByUser() {
    if (quiet_ || !Editor()) return;
    try {
        Editor()->ControlTextChanged();
    } catch (const std::exception& error) {
        if (OnError) OnError(error);
    }
}

WideString QtCellMaskEdit::Text() const {
    QString t = widget_->toPlainText();
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return FromQt(t);
}

void QtCellMaskEdit::SetText(WideStringView text) {
    QString t = ToQt(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Quietly([&] {
        widget_->setPlainText(t);
        widget_->moveCursor(QTextCursor::End);
    });
}

int QtCellMaskEdit::ToCorePos(int qtPos) const {
    const QString t = widget_->toPlainText();
    qtPos = std::clamp(qtPos, 0, static_cast<int>(t.size()));
    return qtPos + static_cast<int>(t.left(qtPos).count(QLatin1Char('\n')));
}

int QtCellMaskEdit::ToQtPos(int corePos) const {
    const QString t = widget_->toPlainText();
    int core = 0;
    for (int i = 0; i < t.size(); ++i) {
        const int width = t[i] == QLatin1Char('\n') ? 2 : 1;
        // A position between the "\r" and the "\n" counts as before the break.
        if (corePos < core + width) return i;
        core += width;
    }
    return static_cast<int>(t.size());
}

int QtCellMaskEdit::SelStart() const {
    const QTextCursor c = widget_->textCursor();
    return ToCorePos(c.selectionStart());
}

int QtCellMaskEdit::SelLength() const {
    const QTextCursor c = widget_->textCursor();
    return ToCorePos(c.selectionEnd()) - ToCorePos(c.selectionStart());
}

int QtCellMaskEdit::CaretPos() const { return ToCorePos(widget_->textCursor().position()); }

void QtCellMaskEdit::SetSelection(int start, int length) {
    const int size = static_cast<int>(Text().size());
    const int a = std::clamp(start, 0, size);
    const int b = std::clamp(start + length, 0, size);
    QTextCursor c = widget_->textCursor();
    c.setPosition(ToQtPos(a));
    c.setPosition(ToQtPos(b), QTextCursor::KeepAnchor);
    widget_->setTextCursor(c);
}

void QtCellMaskEdit::ReplaceSelection(WideStringView text) {
    QString t = ToQt(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Quietly([&] { widget_->textCursor().insertText(t); });
}

void QtCellMaskEdit::TypeChar(char16_t ch) {
    QTextCursor c = widget_->textCursor();
    if (ch == 8) {
        if (!c.hasSelection()) c.deletePreviousChar();
        else c.removeSelectedText();
    } else if (ch == u'\r' || ch == u'\n') {
        if (multiLine_) c.insertText(QStringLiteral("\n"));
    } else {
        c.insertText(QString(QChar(ch)));
    }
    widget_->setTextCursor(c);
}

void QtCellMaskEdit::SetMultiLine(bool on) {
    multiLine_ = on;
    widget_->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool QtCellMaskEdit::Visible() const { return widget_->isVisible(); }

void QtCellMaskEdit::SetVisible(bool visible) { widget_->setVisible(visible); }

void QtCellMaskEdit::SetBounds(const TRect& bounds) {
    bounds_ = bounds;
    widget_->setGeometry(ToQRect(bounds));
}

void QtCellMaskEdit::SetFont(const TFont& font) {
    widget_->setFont(ToQFont(font));
    QPalette p = widget_->palette();
    p.setColor(QPalette::Text, ToQColor(font.Color()));
    widget_->setPalette(p);
}

void QtCellMaskEdit::SetColor(TColor color) {
    QPalette p = widget_->palette();
    p.setColor(QPalette::Base, ToQColor(color == clNone ? clWindow : color));
    widget_->setPalette(p);
}

void QtCellMaskEdit::SetFocus() { widget_->setFocus(Qt::OtherFocusReason); }

void QtCellMaskEdit::CancelMode() {
    if (widget_->hasFocus()) QGuiApplication::inputMethod()->reset();
}

void QtCellMaskEdit::Command(TKtEditCommand command) {
    switch (command) {
        case TKtEditCommand::SelectAll: widget_->selectAll(); break;
        case TKtEditCommand::Copy: widget_->copy(); break;
        case TKtEditCommand::Cut: widget_->cut(); break;
        case TKtEditCommand::Paste: widget_->paste(); break;
    }
}

void QtCellMaskEdit::ClickAt(int x, int y) {
    const QPoint local = widget_->mapFrom(widget_->parentWidget(), QPoint(x, y));
    const QPoint inView = widget_->viewport()->mapFrom(widget_, local);
    widget_->setTextCursor(widget_->cursorForPosition(inView));
}

}  // namespace plu

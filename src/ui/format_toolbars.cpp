#include "ui/format_toolbars.h"

#include <QAction>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QSvgRenderer>

#include "ui/error_display.h"
#include "ui/qt_canvas.h"
#include "ui/qt_convert.h"

namespace plu {

namespace {

constexpr char16_t kBoldCaption[] = u"粗体";
constexpr char16_t kItalicCaption[] = u"斜体";
constexpr char16_t kUnderlineCaption[] = u"下画线";
constexpr char16_t kTextColorCaption[] = u"字体颜色";
constexpr char16_t kBorderColorCaption[] = u"边框线颜色";
constexpr char16_t kBorderLineCaption[] = u"设置边框线";
constexpr char16_t kFontSizeHint[] = u"字号";

constexpr QSize kColorPanelSize(138, 147);
constexpr QSize kBorderPanelSize(95, 72);
constexpr QSize kPaletteButtonSize(23, 22);

// What a screen reader says for each palette button.
const char* BorderChoiceName(int choice) {
    switch (choice) {
        case 0: return "Outline";
        case 1: return "All inner lines";
        case 2: return "Inner horizontal lines";
        case 3: return "Inner vertical lines";
        case 4: return "Top edge";
        case 5: return "Bottom edge";
        case 6: return "Left edge";
        case 7: return "Right edge";
        case 8: return "No borders";
        case 15: return "All borders";
        default: return "";
    }
}

QIcon BorderPicture(int choice) { return FormatPicture(QStringLiteral("border_%1").arg(choice)); }

TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

TFont WidgetFont(const QWidget& widget, const QColor& color) {
    return TFont(FromQt(widget.font().family()), -QFontInfo(widget.font()).pixelSize(),
                 FromQColor(color));
}

// Each font name drawn in its own font.
class FontNameDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        const QPalette& pal = option.palette;
        painter->save();
        GuardUi([&] {
            QtCanvas canvas(*painter, QRegion(option.rect));
            DrawFontNameItem(canvas, FromQRect(option.rect), FromQt(index.data().toString()),
                             FromQColor(pal.color(selected ? QPalette::Highlight : QPalette::Base)),
                             FromQColor(pal.color(selected ? QPalette::HighlightedText
                                                           : QPalette::Text)));
        });
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QFont font(index.data().toString());
        font.setPointSize(kFontItemPoints);
        const int width = QFontMetrics(font).horizontalAdvance(index.data().toString()) + 4;
        return QSize(std::max(width, option.rect.width()), kOwnerDrawnItemHeight);
    }
};

// The line-width items, in the list and in the closed box.
class LineWidthDelegate : public QStyledItemDelegate {
  public:
    LineWidthDelegate(const FormattingToolbar& logic, QObject* parent)
        : QStyledItemDelegate(parent), logic_(logic) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const auto& items = logic_.LineWidths();
        if (index.row() < 0 || index.row() >= static_cast<int>(items.size())) return;
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        const QPalette& pal = option.palette;
        TFont font(FromQt(option.font.family()), -QFontInfo(option.font).pixelSize(),
                   FromQColor(pal.color(selected ? QPalette::HighlightedText : QPalette::Text)));
        painter->save();
        GuardUi([&] {
            QtCanvas canvas(*painter, QRegion(option.rect));
            DrawLineWidthItem(canvas, FromQRect(option.rect), items[static_cast<size_t>(index.row())],
                              font, FromQColor(pal.color(selected ? QPalette::Highlight
                                                                  : QPalette::Base)));
        });
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width() + 30,
                     kOwnerDrawnItemHeight);
    }

  private:
    const FormattingToolbar& logic_;
};

class LineWidthBox : public QComboBox {
  public:
    LineWidthBox(const FormattingToolbar& logic, QWidget* parent)
        : QComboBox(parent), logic_(logic) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        option.currentText.clear();
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        const int index = currentIndex();
        const auto& items = logic_.LineWidths();
        if (index < 0 || index >= static_cast<int>(items.size())) return;
        const QRect field =
            style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
        GuardUi([&] {
            QtCanvas canvas(painter, QRegion(field));
            DrawLineWidthItem(canvas, FromQRect(field), items[static_cast<size_t>(index)],
                              WidgetFont(*this, palette().color(QPalette::ButtonText)),
                              FromQColor(palette().color(QPalette::Button)));
        });
    }

  private:
    const FormattingToolbar& logic_;
};

void Name(QWidget* widget, WideStringView name) {
    widget->setAccessibleName(ToQt(name));
    widget->setToolTip(ToQt(name));
}

}  // namespace

QIcon FormatPicture(const QString& name) {
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(name));
    QIcon icon;
    if (!renderer.isValid()) return icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(16 * scale, 16 * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

FormatToolBars::FormatToolBars(std::function<TKtCustomGrid*()> grid, QWidget* parent)
    : QObject(parent), logic_(std::move(grid)) {
    BuildToolBar3(parent);
    BuildToolBar2(parent);
    BuildPanels();
    logic_.OnChanged = [this] { Sync(); };
    LoadFontList();
    LoadLineWidths();
    Sync();
}

FormatToolBars::~FormatToolBars() {
    logic_.OnChanged = nullptr;
    // The widgets refer to the logic (the colour box, the owner-drawn
    // items, the handlers): they go first.
    delete toolBar2_.data();
    delete toolBar3_.data();
}

void FormatToolBars::BuildToolBar3(QWidget* parent) {
    toolBar3_ = new QToolBar(parent);
    toolBar3_->setObjectName(QStringLiteral("ToolBar3"));
    toolBar3_->setAccessibleName(QStringLiteral("ToolBar3"));

    cbFonts = new QComboBox(toolBar3_);
    cbFonts->setObjectName(QStringLiteral("cbFonts"));
    cbFonts->setItemDelegate(new FontNameDelegate(cbFonts));
    cbFonts->setMinimumContentsLength(14);
    cbFonts->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbFonts->setAccessibleName(QStringLiteral("Font"));
    // Qt's bridge names a combo box by its current text; the description
    // tells a screen reader what the box is for.
    cbFonts->setAccessibleDescription(QStringLiteral("Font"));
    toolBar3_->addWidget(cbFonts);
    toolBar3_->addSeparator();
    connect(cbFonts, &QComboBox::activated, this,
            [this](int index) { GuardUi([&] { logic_.cbFontsChange(index); }); });

    cbFontSize = new QComboBox(toolBar3_);
    cbFontSize->setObjectName(QStringLiteral("cbFontSize"));
    cbFontSize->setEditable(true);
    cbFontSize->setInsertPolicy(QComboBox::NoInsert);
    for (const WideString& item : logic_.SizeItems()) cbFontSize->addItem(ToQt(item));
    cbFontSize->setMinimumContentsLength(3);
    Name(cbFontSize, kFontSizeHint);
    cbFontSize->lineEdit()->setAccessibleName(ToQt(kFontSizeHint));
    sizeEdit_ = cbFontSize->lineEdit();
    sizeEdit_->installEventFilter(this);
    toolBar3_->addWidget(cbFontSize);
    // A pick from the list applies at once; typed text applies on Enter
    // (see eventFilter), so a half-typed size is never sent to the grid.
    connect(cbFontSize, &QComboBox::textActivated, this,
            [this](const QString& text) { ApplyFontSize(text); });
    connect(cbFontSize->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { logic_.SetFontSizeText(FromQt(text)); });

    auto style = [this](QAction*& action, const char* name, WideStringView caption,
                        const char* picture, TToolAction FormattingToolbar::*state,
                        void (FormattingToolbar::*execute)()) {
        action = toolBar3_->addAction(FormatPicture(QString::fromLatin1(picture)), ToQt(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        action->setToolTip(ToQt(caption));
        toolBar3_->widgetForAction(action)->setAccessibleName(ToQt(caption));
        connect(action, &QAction::triggered, this, [this, state, execute](bool checked) {
            (logic_.*state).Checked = checked;
            GuardUi([&] { (logic_.*execute)(); });
        });
    };
    style(FontBold, "FontBold", kBoldCaption, "bold", &FormattingToolbar::FontBold,
          &FormattingToolbar::FontBoldExecute);
    style(FontItalic, "FontItalic", kItalicCaption, "italic", &FormattingToolbar::FontItalic,
          &FormattingToolbar::FontItalicExecute);
    style(FontUnderline, "FontUnderline", kUnderlineCaption, "underline",
          &FormattingToolbar::FontUnderline, &FormattingToolbar::FontUnderlineExecute);

    TextColor = new QAction(FormatPicture(QStringLiteral("font_color")), ToQt(kTextColorCaption), this);
    TextColor->setObjectName(QStringLiteral("TextColor"));
    connect(TextColor, &QAction::triggered, this,
            [this] { GuardUi([&] { logic_.TextColorExecute(); }); });
    tbFontColor = AddColorButton(*toolBar3_, *TextColor, QStringLiteral("tbFontColor"), kTextColorCaption,
                                 TKtPopupPanel::LeftAligned, [this] { logic_.tbFontColorDropDown(); });
}

TKtColorToolButton* FormatToolBars::AddColorButton(QToolBar& bar, QAction& action, const QString& name,
                                                   WideStringView caption, int alignment,
                                                   std::function<void()> dropDown) {
    auto* button = new TKtColorToolButton(&bar);
    button->setObjectName(name);
    button->setDefaultAction(&action);
    button->setAutoRaise(true);
    Name(button, caption);
    const QString accessible = ToQt(caption);
    button->OnDropDown = [this, button, accessible, alignment, dropDown = std::move(dropDown)] {
        PopupPanel->CloseNow();  // the box is about to show this button's colour
        dropDown();
        ColorBox->setAccessibleName(accessible);
        PopupPanel->setAccessibleName(accessible);
        PopupPanel->Popup(button, alignment);
    };
    bar.addWidget(button);
    return button;
}

void FormatToolBars::BuildToolBar2(QWidget* parent) {
    toolBar2_ = new QToolBar(parent);
    toolBar2_->setObjectName(QStringLiteral("ToolBar2"));
    toolBar2_->setAccessibleName(QStringLiteral("ToolBar2"));

    cbLineWidth = new LineWidthBox(logic_, toolBar2_);
    cbLineWidth->setObjectName(QStringLiteral("cbLineWidth"));
    cbLineWidth->setItemDelegate(new LineWidthDelegate(logic_, cbLineWidth));
    cbLineWidth->setMinimumContentsLength(10);
    cbLineWidth->setAccessibleName(QStringLiteral("Line width"));
    cbLineWidth->setAccessibleDescription(QStringLiteral("Line width"));
    toolBar2_->addWidget(cbLineWidth);
    connect(cbLineWidth, &QComboBox::activated, this,
            [this](int index) { logic_.SetLineWidthIndex(index); });

    BorderColor = new QAction(FormatPicture(QStringLiteral("border_color")),
                              ToQt(kBorderColorCaption), this);
    BorderColor->setObjectName(QStringLiteral("BorderColor"));
    connect(BorderColor, &QAction::triggered, this, [this] { logic_.BorderColorExecute(); });
    tbBorderColor = AddColorButton(*toolBar2_, *BorderColor, QStringLiteral("tbBorderColor"), kBorderColorCaption,
                                   TKtPopupPanel::RightAligned, [this] { logic_.tbBorderColorDropDown(); });

    BorderLine = new QAction(BorderPicture(0), ToQt(kBorderLineCaption), this);
    BorderLine->setObjectName(QStringLiteral("BorderLine"));
    BorderLine->setToolTip(ToQt(kBorderLineCaption));
    connect(BorderLine, &QAction::triggered, this,
            [this] { GuardUi([&] { logic_.BorderLineExecute(); }); });
    tbBorderLine = new TKtToolButton(toolBar2_);
    tbBorderLine->setObjectName(QStringLiteral("tbBorderLine"));
    tbBorderLine->setDefaultAction(BorderLine);
    tbBorderLine->setAutoRaise(true);
    Name(tbBorderLine, kBorderLineCaption);
    tbBorderLine->OnDropDown = [this] {
        PopupPanelBorder->Popup(tbBorderLine, TKtPopupPanel::RightAligned);
    };
    toolBar2_->addWidget(tbBorderLine);
}

void FormatToolBars::BuildPanels() {
    PopupPanel = new TKtPopupPanel(toolBar2_);
    PopupPanel->setObjectName(QStringLiteral("PopupPanel"));
    PopupPanel->resize(kColorPanelSize);
    ColorBox = new ColorBoxWidget(logic_.ColorBox, PopupPanel);
    ColorBox->setObjectName(QStringLiteral("ColorBox"));
    ColorBox->setGeometry(0, 0, kColorPanelSize.width(), kColorPanelSize.height());
    // A hidden widget gets its resize event only when first shown; the
    // box's layout is needed before (hit tests, the panel's first paint).
    logic_.ColorBox.SetBounds(kColorPanelSize.width(), kColorPanelSize.height());
    ColorBox->setAccessibleName(ToQt(kBorderColorCaption));
    logic_.ColorBox.OnClick = [this] { PopupPanel->ClosePopup(); };
    logic_.ColorBox.OnDblClick = [this] { PopupPanel->ClosePopup(); };
    PopupPanel->OnClose = [this](TKtPopupPanel& panel) {
        TColorPanelOwner owner = TColorPanelOwner::None;
        if (panel.Button() == tbBorderColor) owner = TColorPanelOwner::BorderColor;
        if (panel.Button() == tbFontColor) owner = TColorPanelOwner::FontColor;
        logic_.PopupPanelClose(owner);
    };

    PopupPanelBorder = new TKtPopupPanel(toolBar2_);
    PopupPanelBorder->setObjectName(QStringLiteral("PopupPanelBorder"));
    PopupPanelBorder->resize(kBorderPanelSize);
    PopupPanelBorder->setAccessibleName(ToQt(kBorderLineCaption));
    ToolBar4 = new QWidget(PopupPanelBorder);
    ToolBar4->setObjectName(QStringLiteral("ToolBar4"));
    ToolBar4->setAccessibleName(ToQt(kBorderLineCaption));
    ToolBar4->setGeometry(0, 0, kBorderPanelSize.width(), kBorderPanelSize.height());
    size_t i = 0;
    int row = 0;
    for (int length : kBorderPaletteRowLengths) {
        for (int col = 0; col < length; ++col, ++i) {
            const int tag = kBorderPaletteTags[i];
            auto* button = new QToolButton(ToolBar4);
            button->setObjectName(QStringLiteral("BorderChoice%1").arg(tag));
            button->setIcon(BorderPicture(tag));
            button->setIconSize(QSize(16, 16));
            button->setAutoRaise(true);
            button->setGeometry(1 + col * kPaletteButtonSize.width(),
                                1 + row * kPaletteButtonSize.height(), kPaletteButtonSize.width(),
                                kPaletteButtonSize.height());
            button->setAccessibleName(QString::fromLatin1(BorderChoiceName(tag)));
            button->setToolTip(button->accessibleName());
            connect(button, &QToolButton::clicked, this, [this, tag] {
                PopupPanelBorder->ClosePopup();
                GuardUi([&] { logic_.BorderPaletteClick(tag); });
            });
            PaletteButtons[i] = button;
        }
        ++row;
    }
}

void FormatToolBars::LoadFontList() {
    std::vector<WideString> names;
    for (const QString& family : QFontDatabase::families()) names.push_back(FromQt(family));
    names = ScreenFontNames(std::move(names));
    {
        QSignalBlocker blocker(cbFonts);
        cbFonts->clear();
        for (const WideString& name : names) cbFonts->addItem(ToQt(name));
    }
    GuardUi([&] { logic_.LoadFontList(std::move(names)); });
}

void FormatToolBars::LoadLineWidths() {
    logic_.LoadLineWidths();
    QSignalBlocker blocker(cbLineWidth);
    cbLineWidth->clear();
    for (const TLineWidthItem& item : logic_.LineWidths()) cbLineWidth->addItem(ToQt(item.Text));
    cbLineWidth->setCurrentIndex(logic_.LineWidthIndex());
}

void FormatToolBars::CurrentChanged(int col, int row) {
    GuardUi([&] { logic_.VexaSheetControl1CurrentChanged(col, row); });
}

void FormatToolBars::UpdateActions() {
    GuardUi([&] {
        logic_.FontBoldUpdate();
        logic_.FontItalicUpdate();
        logic_.FontUnderlineUpdate();
    });
    Sync();
}

void FormatToolBars::ApplyFontSize(const QString& text) {
    GuardUi([&] { logic_.cbFontSizeChange(FromQt(text)); });
}

bool FormatToolBars::eventFilter(QObject* watched, QEvent* event) {
    // The filter also sees the events of the line edit's destruction, when
    // the combo box around it is already half gone: nothing here may reach
    // the combo box unless the event is a key press of a living edit.
    if (event->type() == QEvent::KeyPress && sizeEdit_ && watched == sizeEdit_) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ApplyFontSize(sizeEdit_->text());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void FormatToolBars::Sync() {
    QSignalBlocker fonts(cbFonts), sizes(cbFontSize), widths(cbLineWidth);
    if (cbFonts->currentIndex() != logic_.FontIndex()) cbFonts->setCurrentIndex(logic_.FontIndex());
    // Only when the text differs: re-selecting while the user types would
    // move the cursor.
    const QString sizeText = ToQt(logic_.FontSizeText());
    if (cbFontSize->currentText() != sizeText) {
        cbFontSize->setCurrentIndex(logic_.SizeIndex());
        cbFontSize->setEditText(sizeText);
    }
    if (cbLineWidth->currentIndex() != logic_.LineWidthIndex())
        cbLineWidth->setCurrentIndex(logic_.LineWidthIndex());
    FontBold->setChecked(logic_.FontBold.Checked);
    FontItalic->setChecked(logic_.FontItalic.Checked);
    FontUnderline->setChecked(logic_.FontUnderline.Checked);
    tbFontColor->SetColor(logic_.FontColor);
    tbBorderColor->SetColor(logic_.BorderColor);
    const QString picture = QStringLiteral("border_%1").arg(logic_.BorderLineImage());
    if (BorderLine->property("picture").toString() != picture) {
        BorderLine->setIcon(FormatPicture(picture));
        BorderLine->setProperty("picture", picture);
    }
}

}  // namespace plu

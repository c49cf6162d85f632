#include "ui/selective_paste_dialog.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

namespace plu {

namespace {

QFont PixelFont(const QString& family, int pixels) {
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

// The small decorative picture: a clipboard with a sheet on it.
QPixmap ClipboardPicture() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(90, 60, 30));
    p.setBrush(QColor(190, 140, 80));
    p.drawRoundedRect(4, 4, 24, 27, 3, 3);
    p.setBrush(Qt::white);
    p.setPen(QColor(120, 120, 120));
    p.drawRect(8, 9, 16, 19);
    p.setPen(QColor(160, 160, 160));
    for (int y = 13; y < 27; y += 4) p.drawLine(10, y, 22, y);
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(11, 2, 10, 5);
    return pixmap;
}

}  // namespace

TKtSelectivePasteDailog::TKtSelectivePasteDailog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("选择性粘贴"));
    setFixedSize(554, 332);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));

    auto* source = new QLabel(QStringLiteral("来源:"), this);
    source->move(7, 4);
    source->adjustSize();

    auto* how = new QLabel(QStringLiteral("方式(&A):"), this);
    how->setFont(PixelFont(QStringLiteral("宋体"), 12));
    how->move(107, 43);
    how->adjustSize();

    auto* paste = new QRadioButton(QStringLiteral("粘贴(P):"), this);
    paste->setGeometry(7, 57, 113, 17);
    paste->setChecked(true);
    auto* link = new QRadioButton(QStringLiteral("粘贴链接(L):"), this);
    link->setGeometry(7, 74, 113, 17);
    link->setEnabled(false);

    list_ = new QListWidget(this);
    list_->setGeometry(106, 58, 273, 112);
    list_->setUniformItemSizes(true);
    how->setBuddy(list_);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    // The bevel is a line along the bottom of its 505 x 17 box.
    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(32, 176 + 15, 505, 2);

    auto* result = new QLabel(QStringLiteral("结果"), this);
    result->move(6, 185);
    result->adjustSize();

    auto* picture = new QLabel(this);
    picture->setGeometry(16, 208, 40, 40);
    picture->setAlignment(Qt::AlignCenter);
    picture->setAttribute(Qt::WA_TranslucentBackground);
    picture->setPixmap(ClipboardPicture());

    tip_ = new QLabel(this);
    tip_->setGeometry(72, 203, 457, 54);
    tip_->setWordWrap(true);
    tip_->clear();

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setGeometry(379, 271, 74, 22);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setGeometry(464, 271, 74, 22);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int TKtSelectivePasteDailog::Execute(const std::vector<WideString>& captions) {
    list_->clear();
    for (const WideString& caption : captions) {
        auto* item = new QListWidgetItem(
            QString::fromUtf16(caption.data(), static_cast<qsizetype>(caption.size())), list_);
        item->setSizeHint(QSize(0, 18));
    }
    list_->setCurrentRow(-1);
    list_->clearSelection();
    if (exec() != QDialog::Accepted) return -1;
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return -1;
    return list_->row(selected.first());
}

}  // namespace plu

#include "ui/qt_clipboard.h"

#include <algorithm>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QStringDecoder>

namespace plu {

const QString kMimeUtf8Text = QStringLiteral("text/plain;charset=utf-8");
const QString kMimePlainText = QStringLiteral("text/plain");
const QString kMimeBiff8 =
    QStringLiteral("application/x-openoffice-biff-8;windows_formatname=\"Biff8\"");
const QString kMimeQtBiff8 = QStringLiteral("application/x-qt-windows-mime;value=\"Biff8\"");
const QString kMimePng = QStringLiteral("image/png");
const QString kMimeQtImage = QStringLiteral("application/x-qt-image");

namespace {

QString ToQString(WideStringView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

WideString FromQString(const QString& text) {
    return WideString(reinterpret_cast<const char16_t*>(text.utf16()),
                      static_cast<size_t>(text.size()));
}

// Zero characters at the end are another platform's string ends.
WideString WithoutTrailingZeros(WideString text) {
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return text;
}

QStringList MimeNames(TKtClipFormat format) {
    switch (format) {
        case TKtClipFormat::cfUnicodeText:
            return {kMimeUtf8Text, kMimePlainText};
        case TKtClipFormat::cfBiff8:
            return {kMimeBiff8, kMimeQtBiff8};
        case TKtClipFormat::cfBitmap:
            return {kMimePng, kMimeQtImage};
        case TKtClipFormat::cfText:
            return {};  // 8-bit text is never offered: Unicode text covers it
    }
    return {};
}

bool IsBiff8Name(const QString& mime) {
    const QString m = mime.toLower();
    return m.startsWith(QStringLiteral("application/x-openoffice-biff-8")) ||
           m == kMimeQtBiff8.toLower() || m.contains(QStringLiteral("\"biff8\""));
}

bool IsImageName(const QString& mime) {
    return mime.startsWith(QStringLiteral("image/"), Qt::CaseInsensitive) ||
           mime == kMimeQtImage;
}

bool IsUtf8TextName(const QString& mime) {
    QString m = mime.toLower();
    m.remove(QLatin1Char(' '));
    return m == kMimeUtf8Text || m == QStringLiteral("text/plain;charset=\"utf-8\"");
}

QByteArray BmpBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QByteArray ToBytes(const std::vector<uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

std::vector<uint8_t> FromBytes(const QByteArray& bytes) {
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// Our clipboard object: the formats are named now, built when asked.
class TKtClipMimeData : public QMimeData {
  public:
    TKtClipMimeData(uint64_t id, std::vector<TKtClipOffer> offers,
                    std::function<void(uint64_t)> released, int& renders)
        : id_(id), offers_(std::move(offers)), released_(std::move(released)), renders_(&renders) {}
    ~TKtClipMimeData() override {
        if (released_) released_(id_);
    }

    uint64_t Id() const { return id_; }
    const std::vector<TKtClipOffer>& Offers() const { return offers_; }
    // The service goes: no callback may run afterwards.
    void Detach() {
        released_ = nullptr;
        offers_.clear();
        renders_ = nullptr;
    }
    std::optional<TKtClipData> Render(TKtClipFormat format) const {
        for (const TKtClipOffer& offer : offers_)
            if (offer.Format == format && offer.Render) return offer.Render();
        return std::nullopt;
    }

    QStringList formats() const override {
        QStringList names;
        for (const TKtClipOffer& offer : offers_) names += MimeNames(offer.Format);
        return names;
    }
    bool hasFormat(const QString& mime) const override { return formats().contains(mime); }

  protected:
    QVariant retrieveData(const QString& mime, QMetaType type) const override {
        for (const TKtClipOffer& offer : offers_) {
            if (!MimeNames(offer.Format).contains(mime)) continue;
            if (renders_) ++*renders_;
            const std::optional<TKtClipData> data = offer.Render ? offer.Render() : std::nullopt;
            if (!data) return {};
            switch (offer.Format) {
                case TKtClipFormat::cfUnicodeText: {
                    const QString text = ToQString(WithoutTrailingZeros(data->Text));
                    if (type.id() == QMetaType::QString) return text;
                    return text.toUtf8();
                }
                case TKtClipFormat::cfBitmap: {
                    QImage image;
                    image.loadFromData(ToBytes(data->Bytes));
                    if (mime == kMimeQtImage) return image;
                    QByteArray png;
                    QBuffer buffer(&png);
                    buffer.open(QIODevice::WriteOnly);
                    image.save(&buffer, "PNG");
                    return png;
                }
                default:
                    return ToBytes(data->Bytes);
            }
        }
        return {};
    }

  private:
    uint64_t id_;
    std::vector<TKtClipOffer> offers_;
    std::function<void(uint64_t)> released_;
    int* renders_;
};

const TKtClipMimeData* Ours(const QClipboard* clipboard) {
    return dynamic_cast<const TKtClipMimeData*>(clipboard->mimeData(QClipboard::Clipboard));
}

}  // namespace

std::optional<WideString> DecodeUtf8Strict(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return FromQString(text);
}

TQtClipboardService::TQtClipboardService(QClipboard* clipboard)
    : clipboard_(clipboard ? clipboard : QGuiApplication::clipboard()) {}

TQtClipboardService::~TQtClipboardService() {
    if (auto* ours = const_cast<TKtClipMimeData*>(Ours(clipboard_))) ours->Detach();
}

uint64_t TQtClipboardService::Offer(std::vector<TKtClipOffer> formats,
                                    std::function<void(uint64_t)> released) {
    const uint64_t id = ++lastId_;
    // QClipboard owns the object from here and deletes it (releasing it)
    // when another object or another program takes the clipboard.
    clipboard_->setMimeData(new TKtClipMimeData(id, std::move(formats), std::move(released), renders_),
                            QClipboard::Clipboard);
    return id;
}

std::vector<TKtClipFormat> TQtClipboardService::Formats() {
    std::vector<TKtClipFormat> list;
    auto add = [&](TKtClipFormat f) {
        if (std::find(list.begin(), list.end(), f) == list.end()) list.push_back(f);
    };
    if (const TKtClipMimeData* ours = Ours(clipboard_)) {
        for (const TKtClipOffer& offer : ours->Offers()) add(offer.Format);
        return list;
    }
    const QMimeData* data = clipboard_->mimeData(QClipboard::Clipboard);
    if (!data) return list;
    for (const QString& mime : data->formats()) {
        if (IsUtf8TextName(mime)) {
            add(TKtClipFormat::cfUnicodeText);
        } else if (mime == kMimePlainText) {
            add(DecodeUtf8Strict(data->data(mime)) ? TKtClipFormat::cfUnicodeText
                                                   : TKtClipFormat::cfText);
        } else if (IsBiff8Name(mime)) {
            add(TKtClipFormat::cfBiff8);
        } else if (IsImageName(mime)) {
            add(TKtClipFormat::cfBitmap);
        }
    }
    return list;
}

std::optional<TKtClipData> TQtClipboardService::Get(TKtClipFormat format) {
    if (const TKtClipMimeData* ours = Ours(clipboard_)) return ours->Render(format);
    const QMimeData* data = clipboard_->mimeData(QClipboard::Clipboard);
    if (!data) return std::nullopt;
    const QStringList names = data->formats();
    switch (format) {
        case TKtClipFormat::cfUnicodeText: {
            for (const QString& mime : names)
                if (IsUtf8TextName(mime))
                    return TKtClipData{WithoutTrailingZeros(FromQString(QString::fromUtf8(data->data(mime)))), {}};
            if (names.contains(kMimePlainText))
                if (auto text = DecodeUtf8Strict(data->data(kMimePlainText)))
                    return TKtClipData{WithoutTrailingZeros(std::move(*text)), {}};
            return std::nullopt;
        }
        case TKtClipFormat::cfText:
            if (!names.contains(kMimePlainText)) return std::nullopt;
            return TKtClipData{{}, FromBytes(data->data(kMimePlainText))};
        case TKtClipFormat::cfBiff8:
            for (const QString& mime : names) {
                if (!IsBiff8Name(mime)) continue;
                const QByteArray bytes = data->data(mime);
                if (!bytes.isEmpty()) return TKtClipData{{}, FromBytes(bytes)};
            }
            return std::nullopt;
        case TKtClipFormat::cfBitmap: {
            QImage image;
            if (data->hasImage()) image = qvariant_cast<QImage>(data->imageData());
            for (const QString& mime : names) {
                if (!image.isNull()) break;
                if (IsImageName(mime) && mime != kMimeQtImage) image.loadFromData(data->data(mime));
            }
            if (image.isNull()) return std::nullopt;
            return TKtClipData{{}, FromBytes(BmpBytes(image))};
        }
    }
    return std::nullopt;
}

void TQtClipboardService::Flush() {
    const TKtClipMimeData* ours = Ours(clipboard_);
    if (!ours) return;
    auto* rendered = new QMimeData;
    for (const TKtClipOffer& offer : ours->Offers()) {
        const std::optional<TKtClipData> data = offer.Render ? offer.Render() : std::nullopt;
        if (!data) continue;
        switch (offer.Format) {
            case TKtClipFormat::cfUnicodeText: {
                const QByteArray utf8 = ToQString(WithoutTrailingZeros(data->Text)).toUtf8();
                rendered->setData(kMimeUtf8Text, utf8);
                rendered->setData(kMimePlainText, utf8);
                break;
            }
            case TKtClipFormat::cfBitmap: {
                QImage image;
                image.loadFromData(ToBytes(data->Bytes));
                rendered->setImageData(image);
                break;
            }
            default:
                for (const QString& mime : MimeNames(offer.Format))
                    rendered->setData(mime, ToBytes(data->Bytes));
                break;
        }
    }
    // Replacing our object releases it.
    clipboard_->setMimeData(rendered, QClipboard::Clipboard);
}

void TQtClipboardService::Empty() {
    if (Ours(clipboard_)) clipboard_->clear(QClipboard::Clipboard);
}

bool TQtClipboardService::IsCurrent(uint64_t id) const {
    const TKtClipMimeData* ours = Ours(clipboard_);
    return ours && ours->Id() == id;
}

}  // namespace plu

// The clipboard service (clipboard/clipboard_service.h) over QClipboard.
//
// An offered object is a QMimeData whose data are built in retrieveData,
// only when some program asks, never when it is offered. MIME mapping:
//   Unicode text   "text/plain;charset=utf-8" and "text/plain" (UTF-8, no
//                  trailing zero characters: those are another platform's
//                  string ends, not text)
//   BIFF8 workbook application/x-openoffice-biff-8;windows_formatname="Biff8"
//                  (LibreOffice and Gnumeric) and Qt's name for the Windows
//                  "Biff8" format
//   bitmap         image/png and application/x-qt-image
// Reading accepts each of these from any program; a "text/plain" without a
// charset is Unicode text when it is valid UTF-8, else 8-bit text in
// Windows-1252. A bitmap is handed to the rules as a BMP file.
//
// Flush replaces our object with one holding every format rendered, so the
// data outlive the object; on X11 Qt hands the clipboard to a running
// clipboard manager when the program ends, so what was copied stays
// pasteable. The service must outlive nothing but itself: its destructor
// detaches an object of ours still on the clipboard.
#pragma once

#include <QString>

#include "clipboard/clipboard_service.h"

class QClipboard;
class QMimeData;

namespace plu {

// The MIME names of the mapping above.
extern const QString kMimeUtf8Text;
extern const QString kMimePlainText;
extern const QString kMimeBiff8;
extern const QString kMimeQtBiff8;
extern const QString kMimePng;
extern const QString kMimeQtImage;

class TQtClipboardService : public IKtClipboardService {
  public:
    // nullptr: the application's clipboard.
    explicit TQtClipboardService(QClipboard* clipboard = nullptr);
    ~TQtClipboardService() override;
    TQtClipboardService(const TQtClipboardService&) = delete;
    TQtClipboardService& operator=(const TQtClipboardService&) = delete;

    uint64_t Offer(std::vector<TKtClipOffer> formats,
                   std::function<void(uint64_t id)> released) override;
    std::vector<TKtClipFormat> Formats() override;
    std::optional<TKtClipData> Get(TKtClipFormat format) override;
    void Flush() override;
    void Empty() override;
    bool IsCurrent(uint64_t id) const override;

    // How many formats our objects rendered for requests (not for Flush).
    int RenderCount() const { return renders_; }

  private:
    QClipboard* clipboard_;
    uint64_t lastId_ = 0;
    int renders_ = 0;
};

// Decodes a "text/plain" without charset: UTF-8 when valid, else nullopt.
std::optional<WideString> DecodeUtf8Strict(const QByteArray& bytes);

}  // namespace plu

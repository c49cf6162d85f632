// The clipboard as the clipboard rules see it: a small service that the
// window system's adapter (src/ui) or a test implements.
//
// Formats are the four the rules exchange, whatever the platform calls
// them. An offered object names its formats at once and builds each one only
// when some program asks for it (its render callback), from the cells as
// they are at that moment. Data travel as TKtClipData: the Unicode text in
// Text (UTF-16, no terminating zero characters), every other format as bytes
// (8-bit text in the system code page, the "BIFF8" compound document, a
// bitmap as a picture file the grid's picture list can hold, see
// TKtPicture::Bitmap).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/exceptions.h"
#include "base/wide_text.h"

namespace plu {

enum class TKtClipFormat : int {
    cfText = 1,          // 8-bit text in the system code page
    cfBitmap = 2,        // a picture
    cfUnicodeText = 13,  // UTF-16 text
    cfBiff8 = 0xC000,    // a one-sheet BIFF8 workbook in a compound document
};

struct TKtClipData {
    WideString Text;             // cfUnicodeText
    std::vector<uint8_t> Bytes;  // every other format
};

// Builds one format on request; nullopt when it could not be built (the
// reason has been reported to the user).
using TKtClipRender = std::function<std::optional<TKtClipData>()>;

struct TKtClipOffer {
    TKtClipFormat Format;
    TKtClipRender Render;
};

// The clipboard could not be read or written; carries the platform's reason.
class EClipboardError : public Exception {
  public:
    using Exception::Exception;
};

class IKtClipboardService {
  public:
    virtual ~IKtClipboardService() = default;

    // Puts a new object on the clipboard offering these formats in this
    // order, and answers its id (never 0). The object that was there is
    // released first. released is called once, when the clipboard lets go
    // of the new object: another object is offered (here or by another
    // program), Empty, or Flush. Raises EClipboardError when the clipboard
    // cannot be taken.
    virtual uint64_t Offer(std::vector<TKtClipOffer> formats,
                           std::function<void(uint64_t id)> released) = 0;
    // The formats on offer now (by this or any other program), in the
    // clipboard's order, each once.
    virtual std::vector<TKtClipFormat> Formats() = 0;
    // One format's data; nullopt when the clipboard does not hold it or it
    // could not be read.
    virtual std::optional<TKtClipData> Get(TKtClipFormat format) = 0;
    // When one of our objects is on the clipboard: renders all its formats
    // into the clipboard so they outlive the object (and this program where
    // the platform allows), then releases the object.
    virtual void Flush() = 0;
    // Empties the clipboard when one of our objects is on it.
    virtual void Empty() = 0;
    // Whether object id is the clipboard's current object.
    virtual bool IsCurrent(uint64_t id) const = 0;
};

}  // namespace plu

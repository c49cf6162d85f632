#include "formats/biff8/globals_records.h"

#include "formats/biff8/xls_string.h"

namespace plu {

WideString TBoundSheetRecord::Name() const { return ReadXlsStringText(*this, 6, 1); }

std::unique_ptr<TBoundSheetRecord> TBoundSheetRecord::Make(WideStringView name) {
    auto r = std::make_unique<TBoundSheetRecord>();
    r->Create(rid::BOUNDSHEET, 6 + EncodedXlsStringSize(name, 1));
    EncodeXlsStringInto(name, 1, r->MutableBody().data() + 6);
    return r;
}

WideString TFormatRecord::FormatString() const { return ReadXlsStringText(*this, 2, 2); }

std::unique_ptr<TFormatRecord> TFormatRecord::Make(uint16_t index, WideStringView text) {
    auto r = std::make_unique<TFormatRecord>();
    r->Create(rid::FORMAT, 2 + EncodedXlsStringSize(text, 2));
    r->SetWord(0, index);
    EncodeXlsStringInto(text, 2, r->MutableBody().data() + 2);
    return r;
}

std::unique_ptr<TStyleRecord> TStyleRecord::Make(uint32_t value) {
    auto r = std::make_unique<TStyleRecord>();
    r->Create(rid::STYLE, 4);
    r->SetLong(0, value);
    return r;
}

}  // namespace plu

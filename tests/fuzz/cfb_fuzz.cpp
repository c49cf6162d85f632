// Compound documents from damaged or hostile files: open, list the root
// storage, read the workbook stream. Failures must be the container's error.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/exceptions.h"
#include "formats/cfb/compound_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        auto doc = plu::TCompoundDocument::OpenMemory(std::span<const std::uint8_t>(data, size));
        for (const auto& name : doc.EntryNames()) {
            if (doc.HasStream(name)) (void)doc.ReadStream(name);
        }
        (void)doc.ReadStream(plu::kWorkbookStreamName);
    } catch (const plu::ECompoundDocumentError&) {
    }
    return 0;
}

// The compound document container (OLE2 structured storage) that holds a
// workbook stream. Reading opens a document from a file or from memory and
// reads streams of its root storage; writing builds a document with the given
// streams in memory, and a file is written only through the safe replacement
// of base/safe_file.h, so a failed save never destroys the previous file.
//
// Stream names of a compound document compare ignoring ASCII case, as the
// format defines. Streams below the 4,096-byte mini-stream cut-off live in the
// mini stream; both kinds read and write alike.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/exceptions.h"

namespace plu {

// The name of the BIFF8 workbook stream in the root storage.
inline constexpr std::string_view kWorkbookStreamName = "Workbook";

// The largest file OpenFile reads. A BIFF8 sheet holds at most 65,536 x 256
// cells; the biggest workbooks Excel 97-2003 writes stay far below this, while
// a larger file (a disk image, a video given the wrong name) would only fill
// the memory before failing.
inline constexpr uint64_t kMaxDocumentBytes = uint64_t{256} << 20;

// A document that cannot be opened, read or created: not a compound document,
// a missing stream, a damaged structure, or a failing file operation.
class ECompoundDocumentError : public Exception {
public:
    using Exception::Exception;
};

// Bytes that are not zeroed when they are allocated, for a buffer that is
// filled at once: a document or its workbook stream may be many megabytes,
// and zeroing them first would write every page twice.
class TByteBlock {
public:
    TByteBlock() = default;
    explicit TByteBlock(size_t size) : data_(size ? new uint8_t[size] : nullptr), size_(size) {}

    uint8_t* data() { return data_.get(); }
    const uint8_t* data() const { return data_.get(); }
    size_t size() const { return size_; }
    // The first n bytes stay (n <= size()).
    void Truncate(size_t n) { size_ = n < size_ ? n : size_; }
    std::span<const uint8_t> Span() const { return {data_.get(), size_}; }

private:
    std::unique_ptr<uint8_t[]> data_;
    size_t size_ = 0;
};

// A compound document opened for reading. Its bytes are held in memory (a
// copy of the file or of the caller's buffer) for the object's lifetime.
class TCompoundDocument {
public:
    // Throws ECompoundDocumentError (or EFileError when the file is unreadable).
    static TCompoundDocument OpenFile(const std::string& path);
    static TCompoundDocument OpenMemory(std::span<const uint8_t> bytes);

    TCompoundDocument(TCompoundDocument&&) noexcept;
    TCompoundDocument& operator=(TCompoundDocument&&) noexcept;
    ~TCompoundDocument();

    // Names of the streams and storages of the root storage, in directory order.
    std::vector<std::string> EntryNames() const;
    // True when the root storage has a stream (not a storage) of that name.
    bool HasStream(std::string_view name) const;
    // The whole stream; throws ECompoundDocumentError when it is missing, is a
    // storage, or cannot be read completely.
    std::vector<uint8_t> ReadStream(std::string_view name) const;
    // The same in a buffer that is not zeroed first.
    TByteBlock ReadStreamBlock(std::string_view name) const;

private:
    struct Impl;
    explicit TCompoundDocument(std::unique_ptr<Impl> impl);
    static std::unique_ptr<Impl> OpenBytes(TByteBlock bytes, std::string origin);
    // The stream's bytes written to out, which is sized by the stream.
    template <typename Buffer>
    Buffer Read(std::string_view name) const;
    std::unique_ptr<Impl> impl_;
};

// One stream of a document to build.
struct TCompoundStream {
    std::string name;
    std::span<const uint8_t> bytes;
};

// The bytes of a new compound document whose root storage holds the given
// streams (and nothing else). Throws ECompoundDocumentError.
std::vector<uint8_t> BuildCompoundDocument(std::span<const TCompoundStream> streams);

// Writes a compound document with the given streams to path; an existing file
// is replaced only after the new one is complete. Throws ECompoundDocumentError
// or EFileError; on failure the previous file is untouched.
void WriteCompoundDocumentFile(const std::string& path, std::span<const TCompoundStream> streams);

// Shortcuts for the workbook stream.
std::vector<uint8_t> ReadWorkbookStreamFromFile(const std::string& path);
std::vector<uint8_t> ReadWorkbookStreamFromMemory(std::span<const uint8_t> document);

}  // namespace plu

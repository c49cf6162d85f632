#include "formats/cfb/compound_document.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>
#include <gsf/gsf-utils.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "base/safe_file.h"

namespace plu {
namespace {

// Owns one reference to a GObject (libgsf's inputs and outputs are GObjects).
template <typename T>
class GRef {
public:
    GRef() = default;
    explicit GRef(T* p) : p_(p) {}
    GRef(GRef&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    GRef& operator=(GRef&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = o.p_;
            o.p_ = nullptr;
        }
        return *this;
    }
    GRef(const GRef&) = delete;
    GRef& operator=(const GRef&) = delete;
    ~GRef() { reset(); }
    void reset() {
        if (p_) g_object_unref(p_);
        p_ = nullptr;
    }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// Owns a GError filled by a libgsf call.
struct GErrorHolder {
    GError* error = nullptr;
    ~GErrorHolder() {
        if (error) g_error_free(error);
    }
    std::string Text() const {
        return error && error->message ? std::string(error->message) : std::string("unknown reason");
    }
};

void Quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        // A damaged document makes libgsf print warnings and assertion notes
        // on stderr; our callers get the error as an exception instead. Some
        // of its warnings (a directory child it cannot open) carry no domain,
        // so the unnamed domain is quieted as well.
        const GLogLevelFlags levels = static_cast<GLogLevelFlags>(
            G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO |
            G_LOG_LEVEL_DEBUG);
        for (const char* domain : {"libgsf", "libgsf:msole", "libgsf:utils",
                                   static_cast<const char*>(nullptr)}) {
            g_log_set_handler(domain, levels, Quiet, nullptr);
        }
    });
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// libgsf hands out storages and streams as the same type; a stream answers
// -1 when asked for its children, a storage its (possibly zero) count.
bool IsStorage(GsfInput* entry) {
    return GSF_IS_INFILE(entry) && gsf_infile_num_children(GSF_INFILE(entry)) >= 0;
}

// The 8-byte signature every compound document begins with.
constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

}  // namespace

struct TCompoundDocument::Impl {
    std::string origin;  // how messages name the document
    TByteBlock bytes;  // the document; the memory input refers to it
    GRef<GsfInput> source;
    GRef<GsfInfile> root;

    // Index of the root entry called name, or -1.
    int Find(std::string_view name) const {
        int n = gsf_infile_num_children(root.get());
        for (int i = 0; i < n; ++i) {
            const char* entry = gsf_infile_name_by_index(root.get(), i);
            if (entry && SameName(entry, name)) return i;
        }
        return -1;
    }
};

TCompoundDocument::TCompoundDocument(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TCompoundDocument::TCompoundDocument(TCompoundDocument&&) noexcept = default;
TCompoundDocument& TCompoundDocument::operator=(TCompoundDocument&&) noexcept = default;
TCompoundDocument::~TCompoundDocument() = default;

namespace {

[[noreturn]] void FileFailure(const char* what, const std::string& path, int err) {
    throw EFileError(std::string(what) + " \"" + path + "\": " + std::strerror(err));
}

// The whole file in one buffer sized from fstat (a workbook of some
// megabytes is read without the reallocations of a growing string).
TByteBlock ReadFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) FileFailure("Cannot open", path, errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) FileFailure("Cannot open", path, errno);
    if (S_ISDIR(st.st_mode)) FileFailure("Cannot open", path, EISDIR);
    const auto tooLarge = [&path] {
        throw ECompoundDocumentError("\"" + path + "\" is larger than " +
                                     std::to_string(kMaxDocumentBytes >> 20) +
                                     " MB: a document is read into memory whole, and no workbook "
                                     "this program can show needs that much, so it is not opened");
    };
    if (st.st_size > 0 && static_cast<uint64_t>(st.st_size) > kMaxDocumentBytes) tooLarge();
    TByteBlock out(st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0);
    std::string extra;  // what the file holds beyond its stated size
    size_t got = 0;
    char more[65536];
    for (;;) {
        // Into the buffer while it has room; then into a side buffer, so
        // that a file of exactly its stated size is never copied again.
        const bool room = got < out.size();
        const ssize_t n = room ? ::read(fd, out.data() + got, out.size() - got) : ::read(fd, more, sizeof more);
        if (n < 0) {
            if (errno == EINTR) continue;
            FileFailure("Cannot read", path, errno);
        }
        if (n == 0) break;
        if (room) {
            got += static_cast<size_t>(n);
        } else {
            extra.append(more, static_cast<size_t>(n));  // the file grew, or has no size
            if (got + extra.size() > kMaxDocumentBytes) tooLarge();
        }
    }
    if (extra.empty()) {
        out.Truncate(got);  // the file shrank while it was read
        return out;
    }
    TByteBlock whole(got + extra.size());
    if (got) std::memcpy(whole.data(), out.data(), got);
    std::memcpy(whole.data() + got, extra.data(), extra.size());
    return whole;
}

}  // namespace

TCompoundDocument TCompoundDocument::OpenFile(const std::string& path) {
    return TCompoundDocument(OpenBytes(ReadFile(path), "\"" + path + "\""));
}

TCompoundDocument TCompoundDocument::OpenMemory(std::span<const uint8_t> bytes) {
    TByteBlock copy(bytes.size());
    if (!bytes.empty()) std::memcpy(copy.data(), bytes.data(), bytes.size());
    return TCompoundDocument(OpenBytes(std::move(copy), "The data"));
}

std::unique_ptr<TCompoundDocument::Impl> TCompoundDocument::OpenBytes(TByteBlock bytes,
                                                                    std::string origin) {
    InitLibrary();
    auto impl = std::make_unique<TCompoundDocument::Impl>();
    impl->origin = std::move(origin);
    impl->bytes = std::move(bytes);
    if (impl->bytes.size() < sizeof kSignature ||
        !std::equal(std::begin(kSignature), std::end(kSignature),
                    reinterpret_cast<const uint8_t*>(impl->bytes.data()))) {
        throw ECompoundDocumentError(impl->origin + " is not a compound document (OLE2 storage)");
    }
    // The memory input refers to impl->bytes, which lives as long as it does.
    impl->source = GRef<GsfInput>(gsf_input_memory_new(
        reinterpret_cast<const guint8*>(impl->bytes.data()), static_cast<gsf_off_t>(impl->bytes.size()), FALSE));
    if (!impl->source) throw ECompoundDocumentError(impl->origin + " cannot be read");
    GErrorHolder err;
    impl->root = GRef<GsfInfile>(gsf_infile_msole_new(impl->source.get(), &err.error));
    if (!impl->root) {
        throw ECompoundDocumentError(impl->origin + " is a damaged compound document: " + err.Text());
    }
    return impl;
}

std::vector<std::string> TCompoundDocument::EntryNames() const {
    std::vector<std::string> names;
    int n = gsf_infile_num_children(impl_->root.get());
    for (int i = 0; i < n; ++i) {
        const char* entry = gsf_infile_name_by_index(impl_->root.get(), i);
        names.emplace_back(entry ? entry : "");
    }
    return names;
}

bool TCompoundDocument::HasStream(std::string_view name) const {
    int i = impl_->Find(name);
    if (i < 0) return false;
    GRef<GsfInput> child(gsf_infile_child_by_index(impl_->root.get(), i));
    return child && !IsStorage(child.get());
}

template <typename Buffer>
Buffer TCompoundDocument::Read(std::string_view name) const {
    // Built with append: GCC 12 at -O3 warns falsely on "a" + b + "c" here.
    std::string quoted;
    quoted.reserve(name.size() + 2);
    quoted.append(1, '"').append(name).append(1, '"');
    int i = impl_->Find(name);
    if (i < 0) throw ECompoundDocumentError(impl_->origin + " has no " + quoted + " stream");
    GRef<GsfInput> child(gsf_infile_child_by_index(impl_->root.get(), i));
    if (!child) {
        throw ECompoundDocumentError(impl_->origin + ": the " + quoted +
                                     " stream of the compound document is damaged");
    }
    if (IsStorage(child.get())) {
        throw ECompoundDocumentError(impl_->origin + ": " + quoted + " is a storage, not a stream");
    }
    // The size comes from the directory and may lie: a stream cannot be
    // longer than the document that holds it.
    const gsf_off_t size = gsf_input_size(child.get());
    if (size < 0 || static_cast<uint64_t>(size) > impl_->bytes.size()) {
        throw ECompoundDocumentError(impl_->origin + ": the " + quoted +
                                     " stream of the compound document is damaged (bad size)");
    }
    Buffer out(static_cast<size_t>(size));
    if (size > 0 && !gsf_input_read(child.get(), static_cast<size_t>(size), out.data())) {
        throw ECompoundDocumentError(impl_->origin + ": the " + quoted +
                                     " stream of the compound document is damaged (cut short)");
    }
    return out;
}

std::vector<uint8_t> TCompoundDocument::ReadStream(std::string_view name) const {
    return Read<std::vector<uint8_t>>(name);
}

TByteBlock TCompoundDocument::ReadStreamBlock(std::string_view name) const {
    return Read<TByteBlock>(name);
}

std::vector<uint8_t> BuildCompoundDocument(std::span<const TCompoundStream> streams) {
    InitLibrary();
    GRef<GsfOutput> sink(gsf_output_memory_new());
    if (!sink) throw ECompoundDocumentError("Cannot create a compound document in memory");
    GRef<GsfOutfile> root(gsf_outfile_msole_new(sink.get()));
    if (!root) throw ECompoundDocumentError("Cannot create a compound document in memory");
    for (const TCompoundStream& s : streams) {
        GRef<GsfOutput> child(gsf_outfile_new_child(root.get(), s.name.c_str(), FALSE));
        if (!child) throw ECompoundDocumentError("Cannot create the stream \"" + s.name + "\"");
        // libgsf takes the data in pieces of any size; large writes are fine.
        if (!s.bytes.empty() && !gsf_output_write(child.get(), s.bytes.size(), s.bytes.data())) {
            throw ECompoundDocumentError("Cannot write the stream \"" + s.name + "\"");
        }
        if (!gsf_output_close(child.get())) {
            throw ECompoundDocumentError("Cannot close the stream \"" + s.name + "\"");
        }
    }
    if (!gsf_output_close(GSF_OUTPUT(root.get()))) {
        throw ECompoundDocumentError("Cannot complete the compound document");
    }
    const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    const gsf_off_t size = gsf_output_size(sink.get());
    if (!data || size <= 0) throw ECompoundDocumentError("Cannot complete the compound document");
    return std::vector<uint8_t>(data, data + size);
}

void WriteCompoundDocumentFile(const std::string& path, std::span<const TCompoundStream> streams) {
    // Build first: the old file is replaced only by a complete new document.
    std::vector<uint8_t> bytes = BuildCompoundDocument(streams);
    WriteFileAtomically(path, bytes);
}

std::vector<uint8_t> ReadWorkbookStreamFromFile(const std::string& path) {
    return TCompoundDocument::OpenFile(path).ReadStream(kWorkbookStreamName);
}

std::vector<uint8_t> ReadWorkbookStreamFromMemory(std::span<const uint8_t> document) {
    return TCompoundDocument::OpenMemory(document).ReadStream(kWorkbookStreamName);
}

}  // namespace plu

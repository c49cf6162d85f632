// Writing a file without ever losing the previous one: the new contents go
// to a temporary file in the same folder, are flushed to disk, and only then
// replace the target by rename(). A failure at any point leaves the old file
// as it was and removes the temporary file.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "base/exceptions.h"

namespace plu {

// An I/O failure, with what was done, the path and the system's reason.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// Replaces the file at path with bytes. Throws EFileError on failure; the
// previous file (if any) is then untouched. A new file gets mode 0666 & ~umask;
// an existing file keeps its permission bits.
void WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// As above, with the contents produced by write(fd), which writes to the
// temporary file's descriptor and throws to abandon the save.
void WriteFileAtomically(const std::string& path, const std::function<void(int fd)>& write);

// Writes all of bytes to fd, retrying short writes; throws EFileError naming path.
void WriteAll(int fd, std::span<const uint8_t> bytes, const std::string& path);

// Reads a whole file; throws EFileError (missing, unreadable, a folder).
std::string ReadWholeFile(const std::string& path);

}  // namespace plu

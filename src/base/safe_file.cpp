#include "base/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace plu {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err) {
    throw EFileError(what + " \"" + path + "\": " + std::strerror(err));
}

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

void WriteAll(int fd, std::span<const uint8_t> bytes, const std::string& path) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("Cannot write", path, errno);
        }
        done += static_cast<size_t>(n);
    }
}

void WriteFileAtomically(const std::string& path, const std::function<void(int fd)>& write) {
    if (path.empty()) throw EFileError("Cannot write a file without a name");
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) Fail("Cannot write", path, EISDIR);

    std::string pattern = FolderOf(path) + "/.plu-save-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) Fail("Cannot create a file in the folder of", path, errno);
    const std::string temp(name.data());
    auto abandon = [&] {
        ::close(fd);
        ::unlink(temp.c_str());
    };
    try {
        write(fd);
        mode_t mode;
        if (exists) {
            mode = existing.st_mode & 07777;
        } else {
            mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        if (::fchmod(fd, mode) != 0) Fail("Cannot set the permissions of", path, errno);
        if (::fsync(fd) != 0) Fail("Cannot flush", path, errno);
    } catch (...) {
        abandon();
        throw;
    }
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        Fail("Cannot write", path, err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        Fail("Cannot replace", path, err);
    }
}

void WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    WriteFileAtomically(path, [&](int fd) { WriteAll(fd, bytes, path); });
}

std::string ReadWholeFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("Cannot open", path, errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        Fail("Cannot open", path, EISDIR);
    }
    std::string out;
    char buf[65536];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            Fail("Cannot read", path, err);
        }
        if (n == 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return out;
}

}  // namespace plu

#include "serial/serial_ports.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace plu {
namespace {

namespace fs = std::filesystem;

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool IsDigits(const std::string& text, size_t from) {
    return from < text.size() &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The serial core's "type" attribute: the UART type the kernel detected, 0 for
// none. Empty when the attribute is missing (older kernels, other drivers).
std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string value;
    if (!in || !std::getline(in, value)) return {};
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.pop_back();
    return value;
}

// The legacy 8250 driver registers a ttyS port for every ISA address it might
// have (four by default) whether a UART answers there or not. Newer kernels
// put a serial-core port device between the tty and the driver, so the driver
// is looked for on the device and up to two of its parents.
bool BehindLegacyPlaceholder(const fs::path& device) {
    std::error_code ec;
    fs::path dir = fs::canonical(device, ec);
    if (ec) return false;
    for (int level = 0; level < 3 && !dir.empty(); ++level) {
        const fs::path driver = fs::read_symlink(dir / "driver", ec);
        if (!ec && driver.filename() == "serial8250") return true;
        dir = dir.parent_path();
    }
    return false;
}

bool IsSerialPort(const fs::path& entry, const std::string& name) {
    if (StartsWith(name, "rfcomm")) return true;  // bound before a connection has a device
    std::error_code ec;
    const fs::path device = entry / "device";
    if (!fs::exists(device, ec)) return false;  // consoles, virtual terminals, ptys
    if (StartsWith(name, "ttyS") && IsDigits(name, 4)) {
        const std::string type = ReadAttribute(entry / "type");
        if (!type.empty()) return type != "0";
        return !BehindLegacyPlaceholder(device);
    }
    return true;
}

int CompareNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

}  // namespace

bool ListSerialPorts(std::vector<std::string>& Target, const std::string& SysfsRoot) {
    std::error_code ec;
    fs::directory_iterator it(SysfsRoot, ec);
    if (ec) return false;
    std::vector<std::string> found;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) return false;
        const std::string name = it->path().filename().string();
        if (IsSerialPort(it->path(), name)) found.push_back(name);
    }
    if (ec) return false;
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        const int c = CompareNoCase(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    Target = std::move(found);
    return true;
}

}  // namespace plu

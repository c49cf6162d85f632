// The virtual scale's end of a pseudo-terminal. The PC opens the slave side
// as its serial device; the scale reads and writes the master side. The
// scale keeps its own descriptor of the slave open for its whole life: a
// master reads EIO whenever no slave descriptor is open, which would happen
// each time the PC closes the port to step to another baud rate.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plu::virtual_scale {

class PtyLine {
public:
    // Opens the pair in raw mode. Throws std::runtime_error with the reason.
    PtyLine();
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }

    // The speed the PC last set on its side (a pseudo-terminal keeps the
    // setting although it does not apply it); 0 when unknown.
    uint32_t LineBaud() const;

    // Writes all bytes, waiting up to timeoutMs for room; false when the PC
    // does not take them (nobody reads and the queue is full).
    bool Write(std::string_view bytes, int timeoutMs);

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Makes `link` a symbolic link to `target`. An existing symbolic link there
// is replaced; anything else is refused. Throws std::runtime_error.
void MakeDeviceLink(const std::string& target, const std::string& link);
// Removes `link` if it is still a symbolic link to `target`.
void RemoveDeviceLink(const std::string& target, const std::string& link);

}  // namespace plu::virtual_scale

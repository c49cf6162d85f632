// A pseudo-terminal pair for the port tests: the component opens the slave
// by its path, the test plays the far side on the master.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace plu::test {

class PtyPair {
public:
    PtyPair() {
        char name[256] = {};
        int slave = -1;
        if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) return;
        path_ = name;
        // A descriptor of our own on the slave, opened before the component
        // takes the device exclusively: the tests read the line settings
        // through it. Kept open, it also keeps the master from reading EIO
        // while the component is closed.
        slave_ = slave;
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() {
        CloseMaster();
        if (slave_ >= 0) close(slave_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return master_ >= 0 && !path_.empty(); }
    const std::string& SlavePath() const { return path_; }
    int Master() const { return master_; }
    int Slave() const { return slave_; }
    void CloseSlave() {
        if (slave_ >= 0) close(slave_);
        slave_ = -1;
    }
    void CloseMaster() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }

    // Writes everything (the pty buffer is large enough for the tests' sizes).
    bool Send(const std::vector<uint8_t>& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else {
                pollfd p{master_, POLLOUT, 0};
                if (poll(&p, 1, 1000) <= 0) return false;
            }
        }
        return true;
    }
    bool Send(const std::string& text) { return Send(std::vector<uint8_t>(text.begin(), text.end())); }

    // Reads until `count` bytes have come or `timeout` has passed.
    std::vector<uint8_t> Receive(size_t count, std::chrono::milliseconds timeout) {
        std::vector<uint8_t> got;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (got.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
            uint8_t buf[4096];
            const ssize_t n = read(master_, buf, sizeof buf);
            if (n <= 0) break;
            got.insert(got.end(), buf, buf + n);
        }
        return got;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

}  // namespace plu::test

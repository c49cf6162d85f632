// Internal to TComm: the state of one open port and its two threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include "serial/comm.h"

namespace plu {

// The part of the component that posted tasks reach. Tasks hold it weakly,
// so a task that runs after the component is gone does nothing.
struct TComm::Target {
    TComm* comm = nullptr;
};

// What the threads of one open port share. Owned by the session, which joins
// both threads before it lets go of it.
struct PortShared {
    PortShared(IUiDispatcher& d, std::weak_ptr<TComm::Target> t, std::atomic<bool>& idle)
        : dispatcher(d), target(std::move(t)), transmitIdle(idle) {}

    int fd = -1;
    int stopFd = -1;  // eventfd: the stop signal of both threads
    std::string device;
    IUiDispatcher& dispatcher;
    std::weak_ptr<TComm::Target> target;
    std::atomic<bool>& transmitIdle;
    std::atomic<bool> hangupPosted{false};

    // Set by the user-interface thread, read by the receive thread at the
    // start of each read (time-outs) and for each chunk (filter).
    std::atomic<uint32_t> readInterval{100};
    std::atomic<uint32_t> readMultiplier{0};
    std::atomic<uint32_t> readConstant{0};
    std::atomic<uint32_t> timeoutsVersion{0};  // counts ApplyTimeouts calls
    std::atomic<bool> marked{false};
    std::atomic<bool> replaceErrors{false};
    std::atomic<uint8_t> replacement{0};
    std::atomic<bool> ignoreNull{false};

    // The transmit thread's own queue. `accepting` turns false when the
    // thread ends, so a later hand-over fails instead of piling up.
    std::mutex queueMutex;
    std::deque<std::vector<uint8_t>> queue;
    bool accepting = true;
    int queueFd = -1;  // eventfd: a block was queued

    bool rs485 = false;  // the driver's RS-485 mode was switched on (user-interface thread only)

    // Hands a task for the component to the user-interface thread; false
    // when the dispatcher refused it.
    bool Post(std::function<void(TComm&)> action);
    // Posts OnRequestHangup once per open port and stops the other thread.
    void Hangup();
    void SignalStop();
    bool StopSignalled() const;
};

void RunReceiveThread(PortShared& shared);
void RunTransmitThread(PortShared& shared);

struct TComm::Session {
    explicit Session(std::unique_ptr<PortShared> s) : shared(std::move(s)) {}
    std::unique_ptr<PortShared> shared;
    std::thread reader;
    std::thread writer;
    // Threads are created waiting, as the component starts them only when
    // both exist.
    std::binary_semaphore readerGo{0};
    std::binary_semaphore writerGo{0};
};

}  // namespace plu

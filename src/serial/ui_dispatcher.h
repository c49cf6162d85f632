// How the serial component reaches the user-interface thread. The receive and
// transmit threads never call a handler themselves: every event becomes a task
// posted here, and whoever owns the user-interface thread runs the tasks in the
// order they were posted (the Qt shell through a queued invocation, plu-tool
// and the tests by pumping a QueuedDispatcher).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace plu {

class IUiDispatcher {
public:
    virtual ~IUiDispatcher() = default;
    // Called from any thread; must keep the order of posting and must not run
    // the task before returning. May throw (for instance std::bad_alloc): the
    // caller then treats the hand-over as failed.
    virtual void post(std::function<void()> task) = 0;
};

// A dispatcher for programs without an event loop of their own: tasks wait in
// a queue until the owning thread pumps them. Thread-safe for posting.
class QueuedDispatcher : public IUiDispatcher {
public:
    void post(std::function<void()> task) override;

    // Runs the tasks that are queued when it is called, in order, and returns
    // how many ran. Tasks posted meanwhile wait for the next call.
    size_t Pump();
    // Waits up to `timeout` for at least one task, then pumps. Returns how many ran.
    size_t WaitAndPump(std::chrono::milliseconds timeout);
    // Pumps until `done()` is true or `timeout` has passed; true when done.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    size_t Pending() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace plu

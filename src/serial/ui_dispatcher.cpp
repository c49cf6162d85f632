#include "serial/ui_dispatcher.h"

#include <utility>

namespace plu {

void QueuedDispatcher::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    arrived_.notify_all();
}

size_t QueuedDispatcher::Pump() {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(tasks_);
    }
    size_t ran = 0;
    while (!batch.empty()) {
        auto task = std::move(batch.front());
        batch.pop_front();
        ++ran;
        try {
            if (task) task();
        } catch (...) {
            // The tasks behind the failed one stay queued, ahead of newer ones.
            std::lock_guard lock(mutex_);
            while (!batch.empty()) {
                tasks_.push_front(std::move(batch.back()));
                batch.pop_back();
            }
            throw;
        }
    }
    return ran;
}

size_t QueuedDispatcher::WaitAndPump(std::chrono::milliseconds timeout) {
    {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, timeout, [this] { return !tasks_.empty(); });
    }
    return Pump();
}

bool QueuedDispatcher::PumpUntil(const std::function<bool()>& done,
                                 std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        Pump();
        if (done()) return true;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return false;
        std::unique_lock lock(mutex_);
        arrived_.wait_until(lock, deadline, [this] { return !tasks_.empty(); });
    }
}

size_t QueuedDispatcher::Pending() const {
    std::lock_guard lock(mutex_);
    return tasks_.size();
}

}  // namespace plu

// Event handler types shared by the modules. An event is a std::function
// member named On...; an empty function means "no handler". Query events pass
// a bool by reference that starts true; a handler refuses by setting it false.
#pragma once

#include <functional>

namespace plu {

// A handler without arguments beyond its owner's context.
using TNotifyEvent = std::function<void()>;

// Runs a function when the scope ends (restoring a flag, ending an update).
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() {
        if (active_) f_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    void Dismiss() { active_ = false; }

private:
    F f_;
    bool active_ = true;
};

}  // namespace plu

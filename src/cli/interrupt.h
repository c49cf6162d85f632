// Ctrl+C during a transfer: the first interrupt (SIGINT or SIGTERM) asks the
// command to end its transfer properly; a second one ends the program at once.
#pragma once

namespace plu::cli {

// Catches the first interrupt while it lives; restores the previous handlers.
class InterruptCatcher {
  public:
    InterruptCatcher();
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

    // True once an interrupt has arrived.
    static bool Requested();
};

}  // namespace plu::cli

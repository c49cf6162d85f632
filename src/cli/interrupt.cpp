#include "cli/interrupt.h"

#include <signal.h>

namespace plu::cli {

namespace {

volatile sig_atomic_t g_requested = 0;
struct sigaction g_previousInt, g_previousTerm;

void OnInterrupt(int) {
    g_requested = 1;
}

}  // namespace

InterruptCatcher::InterruptCatcher() {
    g_requested = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // The handler goes after the first signal, so a second one ends the
    // program as it would without us.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &g_previousInt);
    sigaction(SIGTERM, &action, &g_previousTerm);
}

InterruptCatcher::~InterruptCatcher() {
    sigaction(SIGINT, &g_previousInt, nullptr);
    sigaction(SIGTERM, &g_previousTerm, nullptr);
}

bool InterruptCatcher::Requested() {
    return g_requested != 0;
}

}  // namespace plu::cli

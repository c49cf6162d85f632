// Tries to open one port and prints the outcome; the rights test runs it as
// an unprivileged user. Exit 0: OpenPort raised (message on stdout);
// 2: the port opened; 1: wrong use.
#include <cstdio>

#include "serial/comm.h"

int main(int argc, char** argv) {
    if (argc != 2) return 1;
    plu::QueuedDispatcher dispatcher;
    plu::TComm comm(dispatcher);
    comm.SetCommName(argv[1]);
    try {
        comm.OpenPort();
    } catch (const plu::ECommsError& e) {
        std::fputs(e.what(), stdout);
        return 0;
    }
    std::fputs("opened", stdout);
    return 2;
}

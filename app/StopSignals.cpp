#include "app/StopSignals.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void noteStopSignal(int number)
{
    stopSignal = number;
}

} // namespace

void catchStopSignals()
{
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (sigaction(number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = noteStopSignal;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART: a wait in a system call ends at once.
        action.sa_flags = 0;
        sigaction(number, &action, nullptr);
    }
}

bool stopSignalReceived()
{
    return stopSignal != 0;
}

void forgetStopSignal()
{
    stopSignal = 0;
}

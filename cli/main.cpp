// vantorel-cli: the counters from a terminal. All logic is in vantorel_cli_core;
// this wires the live system, the standard streams and the stop signals.
#include <pthread.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/signal_pacer.h"

namespace {

// A signal the shell started us ignoring (a background job) stays ignored.
bool ignored(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
           current.sa_handler == SIG_IGN;
}

}  // namespace

int main(int argc, char** argv) {
    sigset_t stop{};
    sigemptyset(&stop);
    for (const int s : {SIGINT, SIGTERM})
        if (!ignored(s)) sigaddset(&stop, s);
    // Blocked in the only thread, so they are taken by the pacer's wait alone.
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    vantorel::cli::SignalPacer pacer(stop);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    return vantorel::cli::runCommandLine(args, vantorel::cli::Roots{}, pacer, std::cout, std::cerr);
}

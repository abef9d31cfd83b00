// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include <csignal>
#include <iostream>

namespace {
std::atomic<phbuffer::model::RunControl*> g_activeRun{nullptr};

extern "C" void onInterrupt(int) {
    // A first interrupt stops the run, which then reports how far it came; with no run
    // going, the program ends as usual.
    if (phbuffer::model::RunControl* run = g_activeRun.load()) {
        run->cancelRequested.store(true);
        return;
    }
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
}
} // namespace

int main(int argc, char** argv) {
    static_assert(std::atomic<bool>::is_always_lock_free);
    static_assert(std::atomic<phbuffer::model::RunControl*>::is_always_lock_free);
    std::signal(SIGINT, onInterrupt);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return phbuffer::cli::RunCommandLine(args, std::cout, std::cerr, &g_activeRun);
}

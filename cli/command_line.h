// SPDX-License-Identifier: GPL-3.0-or-later
//
// phbuffer-cli: the window's handlers driven from the command line, for batch work.
#pragma once

#include "model/titration.h"

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

namespace phbuffer::cli {

enum ExitStatus {
    kSuccess = 0,
    kHandlerFailed = 1, ///< a handler failed, or the output could not be written; the
                        ///< error box's text or the reason went to the error stream
    kUsageError = 2,
    kInterrupted = 130, ///< a run was stopped by an interrupt
};

/// Runs the command line @p args (without the program name). While a run is going, the
/// run control of the form is published in @p activeRun (if given), so that a signal
/// handler can ask it to stop.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   std::atomic<model::RunControl*>* activeRun = nullptr);

/// The usage text printed by --help and after a usage error.
std::string UsageText();

} // namespace phbuffer::cli

// SPDX-License-Identifier: GPL-3.0-or-later
//
// phbuffer-cli: the window's handlers driven from the command line, for batch work.
#pragma once

#include "model/titration.h"

#include <QString>

#include <atomic>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace phbuffer::ui {
class TpHmainForm;
}

namespace phbuffer::cli {

enum ExitStatus {
    kSuccess = 0,
    kHandlerFailed = 1, ///< a handler failed, or the output could not be written; the
                        ///< error box's text or the reason went to the error stream
    kUsageError = 2,
    kInterrupted = 130, ///< a run was stopped by an interrupt
};

/// Writes the chart of @p form, as the window shows it, to @p path (an .svg, .png or
/// .pdf name) at @p width x @p height pixels. Throws what the handlers throw.
using ChartWriter =
    std::function<void(const QString& path, int width, int height, const ui::TpHmainForm& form)>;

/// The chart's size when --chart-size does not give one: the chart in the window at its
/// default size.
inline constexpr int kDefaultChartWidth = 1218;
inline constexpr int kDefaultChartHeight = 454;

/// Whether @p args ask for a chart, which needs a QApplication before RunCommandLine.
bool wantsChart(const std::vector<std::string>& args);

/// Runs the command line @p args (without the program name). While a run is going, the
/// run control of the form is published in @p activeRun (if given), so that a signal
/// handler can ask it to stop. --chart writes with @p chartWriter; without one it fails.
int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   std::atomic<model::RunControl*>* activeRun = nullptr,
                   const ChartWriter& chartWriter = {});

} // namespace phbuffer::cli

// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "ui/main_form.h"

#ifdef PHBUFFER_WITH_CHART
#include "chart/chart_file.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#endif

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>

#include <fcntl.h>

namespace {
std::atomic<phbuffer::model::RunControl*> g_activeRun{nullptr};

extern "C" void onInterrupt(int signal) {
    // A first interrupt, or a request to terminate, stops the run, which then reports how far
    // it came; with no run going, the program ends as that signal ends it.
    if (phbuffer::model::RunControl* run = g_activeRun.load()) {
        run->cancelRequested.store(true);
        return;
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

/// Puts /dev/null, opened for reading, on a standard descriptor that is closed: a file the
/// program opens later must not land there and take in what was meant for standard output
/// or standard error, and a write to a closed standard output must fail.
void reserveClosedStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) == -1 && open("/dev/null", O_RDONLY) != fd)
            std::_Exit(phbuffer::cli::kHandlerFailed);
}
} // namespace

int main(int argc, char** argv) {
    reserveClosedStandardDescriptors();
    static_assert(std::atomic<bool>::is_always_lock_free);
    static_assert(std::atomic<phbuffer::model::RunControl*>::is_always_lock_free);
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    const std::vector<std::string> args(argv + 1, argv + argc);
    phbuffer::cli::ChartWriter chartWriter;
#ifdef PHBUFFER_WITH_CHART
    // The chart is drawn by the window's own chart code, on the offscreen platform: no
    // display is needed, and a command without --chart starts without any of it.
    std::unique_ptr<QTemporaryDir> runtimeDir;
    std::unique_ptr<QApplication> app;
    if (phbuffer::cli::wantsChart(args)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // A headless system may have no runtime folder; Qt would warn and make a shared one
        // that stays behind. A private one of our own goes when the program ends.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            runtimeDir = std::make_unique<QTemporaryDir>();
            if (runtimeDir->isValid())
                qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
        }
        app = std::make_unique<QApplication>(argc, argv);
        chartWriter = [](const QString& path, int width, int height,
                         const phbuffer::ui::TpHmainForm& form) {
            phbuffer::chart::writeChartFile(path, QSize(width, height), form.Chart1,
                                            form.TitrationSeries, form.BufferStrengthSeries,
                                            form.DecimalSeparator, *form.Files);
        };
    }
#endif
    return phbuffer::cli::runCommandLine(args, std::cout, std::cerr, &g_activeRun, chartWriter);
}

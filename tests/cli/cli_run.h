// SPDX-License-Identifier: GPL-3.0-or-later
//
// The command line run in the test's own process, its streams caught.
#pragma once

#include "cli/command_line.h"

#include <sstream>
#include <string>
#include <vector>

namespace phbuffer::test {

struct Result {
    int status;
    std::string out;
    std::string err;
};

inline Result Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::runCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace phbuffer::test

// The whole tool but main(): parses the arguments and runs `list` or `sample`
// over the given /proc and /sys roots.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/pacer.h"

namespace vantorel::cli {

struct Roots {
    std::string proc = "/";  // the directory holding proc/
    std::string sys = "/";   // the directory holding sys/
};

// `args` are the arguments after the program name. Help and version go to `out`
// with kExitOk; argument errors go to `err` with kExitUsage (see exit_codes.h).
int runCommandLine(const std::vector<std::string>& args, const Roots& roots, Pacer& pacer, std::ostream& out,
                   std::ostream& err);

}  // namespace vantorel::cli

// `list`: the counter paths the library knows, optionally for every instance that
// exists now, optionally with each counter's description.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/pdh/enumeration.h"

namespace vantorel::cli {

struct ListOptions {
    std::vector<std::string> objects;  // empty: all, in the catalogue's order
    std::vector<std::string> patterns; // counter patterns, listed after the objects
    bool instances = false;
    bool describe = false;
};

// Without `instances`, an object with instances shows the placeholder
// "(<instance>)". Object names match case-insensitively; an unknown one is named
// on `err` with the known objects and gives kExitUsage, with nothing on `out`.
// Paths go out one a line; a path holding control characters is written in the
// shell's $'...' quoting, so that pasted into a shell it names the same instance;
// a description follows
// its path on a line indented by four spaces, its unit in parentheses at the end.
// A pattern lists the paths it matches (its wildcard instances expanded); one
// that matches nothing is named on `err` and gives kExitUsage.
int listCounters(const pdh::Enumeration& enumeration, const ListOptions& options, std::ostream& out,
                 std::ostream& err);

}  // namespace vantorel::cli

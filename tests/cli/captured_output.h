// What a command printed and returned, and its output split into lines.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace vantorel::cli::testing {

struct Captured {
    int code = -1;
    std::string out;
    std::string err;
};

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace vantorel::cli::testing

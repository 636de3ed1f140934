// Reading a captured file of tests/fixtures, for the tests only.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace vantorel::pdh::sources::test {

// The file's whole text. A file that cannot be read fails the test: an empty
// text would let "no value" expectations pass for nothing.
inline std::string fixture(std::string_view relative) {
    const std::string path = std::string(VANTOREL_FIXTURE_DIR) + "/" + std::string(relative);
    std::string text;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        ADD_FAILURE() << "cannot read fixture " << path;
        return text;
    }
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, got);
    }
    std::fclose(file);
    return text;
}

// The machine the fixtures were captured on, at the first of its two moments.
inline constexpr std::string_view kMachine = "vm-t0";

inline std::string machineFile(std::string_view relative) {
    return fixture(std::string(kMachine) + "/" + std::string(relative));
}

}  // namespace vantorel::pdh::sources::test

// A small catalogue with instances the tests can change between listings.
#pragma once

#include "platform/pdh/enumeration.h"

#include <map>
#include <string>
#include <vector>

namespace vantorel::pdh::test {

class FakeEnumeration : public Enumeration {
public:
    FakeEnumeration() {
        catalogue = {
            {"Processor", "Each cpu's time.", true,
             {{"% Processor Time", "Busy share of the cpu.", 100, "percent"},
              {"% User Time", "User share.", 200, "percent"},
              {"% Steal Time", "Stolen share.", 300, "percent"}}},
            {"Memory", "Memory use.", false,
             {{"Free Bytes", "Unused memory in bytes, from MemFree.", 100, "bytes"},
              {"Cache Bytes", "Page cache in bytes.", 200, "bytes"}}},
            {"Process", "Each process.", true,
             {{"% Processor Time", "Busy share of the process.", 100, "percent"},
              {"ID Process", "The process id.", 100, "count"},
              {"Handle Count", "Open descriptors.", 400, "count"}}},
        };
        current["Processor"] = {"_Total", "0", "1"};
        current["Process"] = {"_Total", "a) b\\c:(d:42", "new\nline:7", "bash:100"};
    }

    std::vector<ObjectInfo> objects() const override { return catalogue; }
    std::vector<std::string> instances(std::string_view object) const override {
        ++instanceListings;
        const auto found = current.find(std::string(object));
        return found == current.end() ? std::vector<std::string>{} : found->second;
    }

    std::vector<ObjectInfo> catalogue;
    std::map<std::string, std::vector<std::string>> current;
    mutable int instanceListings = 0;
};

}  // namespace vantorel::pdh::test

// /proc/net/dev: per interface traffic counters since the interface appeared.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::pdh::sources {

struct NetDevice {
    std::string name;  // as the kernel names it: 1..15 bytes, no blank, '/' or ':'
    std::uint64_t rxBytes = 0;
    std::uint64_t rxPackets = 0;
    std::uint64_t rxErrors = 0;
    std::uint64_t rxDropped = 0;
    std::uint64_t txBytes = 0;
    std::uint64_t txPackets = 0;
    std::uint64_t txErrors = 0;
    std::uint64_t txDropped = 0;

    bool operator==(const NetDevice&) const = default;
};

struct NetDevTable {
    std::vector<NetDevice> devices;  // in file order
    unsigned malformedLines = 0;     // lines with a ':' that did not parse whole

    bool operator==(const NetDevTable&) const = default;
};

// The two header lines (no ':') are skipped. Never fails: an empty table is a
// valid answer.
NetDevTable parseNetDev(std::string_view text);

}  // namespace vantorel::pdh::sources

#include "platform/pdh/sources/net_dev.h"

#include "platform/pdh/sources/scan.h"

#include <array>

namespace vantorel::pdh::sources {

namespace {

// Receive: bytes packets errs drop fifo frame compressed multicast,
// then the same eight for transmit with colls and carrier in place of frame and
// multicast.
constexpr std::size_t kFields = 16;

// The kernel refuses a name that is empty, "." or "..", 16 bytes or longer, or
// holds '/', ':' or white space: anything else is a name, however odd.
bool isInterfaceName(std::string_view name) {
    constexpr std::size_t kIfNameSize = 16;  // with its NUL
    if (name.empty() || name.size() >= kIfNameSize || name == "." || name == "..") {
        return false;
    }
    for (const char c : name) {
        if (c == '/' || c == ':' || c == ' ' || (c >= '\t' && c <= '\r')) {
            return false;
        }
    }
    return true;
}

std::optional<NetDevice> parseDevice(std::string_view line) {
    const std::size_t colon = line.find(':');
    // Interface names cannot hold ':' or blanks, so the first ':' ends the name
    // (the kernel pads it on the left to six columns).
    const std::string_view name = scan::trim(line.substr(0, colon));
    if (!isInterfaceName(name)) {
        return std::nullopt;  // a damaged line, such as a header run into a record
    }
    std::string_view rest = line.substr(colon + 1);
    std::array<std::uint64_t, kFields> v{};
    if (!scan::readNumbers(rest, v)) {
        return std::nullopt;
    }
    NetDevice d;
    d.name = std::string(name);
    d.rxBytes = v[0];
    d.rxPackets = v[1];
    d.rxErrors = v[2];
    d.rxDropped = v[3];
    d.txBytes = v[8];
    d.txPackets = v[9];
    d.txErrors = v[10];
    d.txDropped = v[11];
    return d;
}

}  // namespace

NetDevTable parseNetDev(std::string_view text) {
    NetDevTable out;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (line.find(':') == std::string_view::npos) {
            continue;  // the two header lines
        }
        if (std::optional<NetDevice> device = parseDevice(line)) {
            out.devices.push_back(std::move(*device));
        } else {
            ++out.malformedLines;
        }
    }
    return out;
}

}  // namespace vantorel::pdh::sources

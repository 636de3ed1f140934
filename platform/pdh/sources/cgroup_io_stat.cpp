#include "platform/pdh/sources/cgroup_io_stat.h"

#include <array>
#include <optional>

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

constexpr std::array<std::string_view, 4> kKeys{"rbytes", "wbytes", "rios", "wios"};

bool isDevice(std::string_view token) {
    std::string_view minor = token;
    const std::string_view major = scan::nextField(minor, ':');
    return scan::toNumber<unsigned>(major).has_value() && scan::toNumber<unsigned>(minor).has_value();
}

// The four counts of one device line, or nothing when one is missing or broken.
std::optional<std::array<std::uint64_t, 4>> parseDevice(std::string_view rest) {
    std::array<std::optional<std::uint64_t>, 4> found{};
    for (std::string_view token = scan::nextToken(rest); !token.empty(); token = scan::nextToken(rest)) {
        std::string_view value = token;
        const std::string_view key = scan::nextField(value, '=');
        for (std::size_t i = 0; i < kKeys.size(); ++i) {
            if (key == kKeys[i]) {
                if (found[i]) {
                    return std::nullopt;  // twice on one line: not the kernel's text
                }
                found[i] = scan::toU64(value);
                if (!found[i]) {
                    return std::nullopt;
                }
            }
        }
    }
    std::array<std::uint64_t, 4> out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (!found[i]) {
            return std::nullopt;
        }
        out[i] = *found[i];
    }
    return out;
}

}  // namespace

CgroupIoStat parseCgroupIoStat(std::string_view text) {
    CgroupIoStat out;
    std::array<std::uint64_t*, 4> sums{&out.readBytes, &out.writeBytes, &out.reads, &out.writes};
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (line.empty()) {
            continue;
        }
        std::string_view rest = line;
        const std::optional<std::array<std::uint64_t, 4>> device =
            isDevice(scan::nextToken(rest)) ? parseDevice(rest) : std::nullopt;
        bool fits = device.has_value();
        for (std::size_t i = 0; fits && i < sums.size(); ++i) {
            fits = (*device)[i] <= UINT64_MAX - *sums[i];
        }
        if (!fits) {
            ++out.malformedLines;
            continue;
        }
        for (std::size_t i = 0; i < sums.size(); ++i) {
            *sums[i] += (*device)[i];
        }
        ++out.devices;
    }
    return out;
}

}  // namespace vantorel::pdh::sources

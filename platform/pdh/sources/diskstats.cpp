#include "platform/pdh/sources/diskstats.h"

#include "platform/pdh/sources/scan.h"

#include <array>

namespace vantorel::pdh::sources {

namespace {

// After major, minor and name: the eleven fields every kernel since 2.6 prints
// for a disk (discard fields came in 4.18, flush fields in 5.5: ignored).
constexpr std::size_t kFields = 11;

std::optional<DiskStat> parseDisk(std::string_view rest) {
    const auto major = scan::toNumber<unsigned>(scan::nextToken(rest));
    const auto minor = scan::toNumber<unsigned>(scan::nextToken(rest));
    const std::string_view name = scan::nextToken(rest);
    if (!major || !minor || name.empty()) {
        return std::nullopt;
    }
    std::array<std::uint64_t, kFields> v{};
    if (!scan::readNumbers(rest, v)) {
        return std::nullopt;
    }
    DiskStat d;
    d.major = *major;
    d.minor = *minor;
    d.name = std::string(name);
    d.readsCompleted = v[0];  // v[1] reads merged
    d.sectorsRead = v[2];
    d.readMs = v[3];
    d.writesCompleted = v[4];  // v[5] writes merged
    d.sectorsWritten = v[6];
    d.writeMs = v[7];
    d.inFlight = v[8];
    d.ioTicksMs = v[9];
    d.timeInQueueMs = v[10];
    return d;
}

}  // namespace

DiskstatsTable parseDiskstats(std::string_view text) {
    DiskstatsTable out;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (scan::trim(line).empty()) {
            continue;
        }
        if (std::optional<DiskStat> disk = parseDisk(line)) {
            out.disks.push_back(std::move(*disk));
        } else {
            ++out.malformedLines;
        }
    }
    return out;
}

}  // namespace vantorel::pdh::sources

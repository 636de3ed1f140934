#include "platform/pdh/sources/diskstats.h"

#include "platform/pdh/sources/scan.h"

#include <array>

namespace vantorel::pdh::sources {

namespace {

// After major, minor and name: the eleven fields every kernel since 2.6 prints
// for a disk; four discard fields came in 4.18, two flush fields in 5.5.
constexpr std::size_t kFields = 11;
constexpr std::size_t kDiscardFields = 4;
constexpr std::size_t kFlushFields = 2;

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
    std::array<std::uint64_t, kDiscardFields> discard{};
    std::string_view more = rest;
    if (scan::readNumbers(more, discard)) {
        d.discardsCompleted = discard[0];  // discard[1] merged, discard[2] sectors
        d.discardMs = discard[3];
        std::array<std::uint64_t, kFlushFields> flush{};
        if (scan::readNumbers(more, flush)) {
            d.flushesCompleted = flush[0];
            d.flushMs = flush[1];
        }
    }
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

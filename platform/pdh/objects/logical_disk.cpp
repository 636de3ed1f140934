#include "platform/pdh/objects/logical_disk.h"

#include <array>
#include <cmath>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/mounts_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Mounts, SourceCount };
constexpr SourceMask kMnt = src(Mounts);
static_assert(fitsMasks<f::LogicalDiskFieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{"% Free Space", "Percentage of the file system's space free to users, 100 minus df's Use%, from statvfs.", N, Gauge, kMnt, bit(f::UsePercent), 0, 1, Unit::Percent, true, true},
    CounterDef{"Free Megabytes", "Space free to users in MiB, f_bavail times f_frsize of statvfs.", N, Gauge, kMnt, bit(f::AvailBytes), 0, 1.0 / (1024 * 1024), Unit::Mebibytes},
    CounterDef{"% Free Inodes", "Percentage of the file system's inodes free to users, f_favail over f_files of statvfs (df -i).", A, Ratio, kMnt, bit(f::FreeInodes), bit(f::Inodes), 1, Unit::Percent, true},
    CounterDef{"Free Inodes", "Inodes free to users, f_favail of statvfs (df -i IFree).", A, Gauge, kMnt, bit(f::FreeInodes), 0, 1, Unit::Count},
};
// clang-format on

class LogicalDiskProvider final : public TableProvider {
public:
    LogicalDiskProvider()
        : TableProvider({"LogicalDisk", "Space on each mounted file system as df lists them, from /proc/self/mountinfo and statvfs.", true, "mountpoint"},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::string> out;
        if (const auto* mounts = sources.get<MountsSource>()) {
            out.emplace_back(kTotal);
            for (const auto& mount : *mounts) out.push_back(mount.mountPoint);
        }
        return out;
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        const auto* mounts = sources.get<MountsSource>();
        if (mounts == nullptr) return void(out.status = PDH_CSTATUS_INVALID_DATA);
        std::uint64_t used = 0;
        std::uint64_t avail = 0;
        std::uint64_t inodes = 0;
        std::uint64_t freeInodes = 0;
        bool found = false;
        bool measured = true;
        for (const MountSpace& s : *mounts) {
            if (b.instance != kTotal && s.mountPoint != b.instance) continue;
            found = true;
            measured = measured && s.measured;
            if (!s.measured) continue;
            used += s.usedBytes;
            avail += s.availBytes;
            inodes += s.inodes;
            freeInodes += s.freeInodes;
            if (b.instance != kTotal) {
                if (s.usePercent) out.set(field::UsePercent, *s.usePercent);
                out.set(field::AvailBytes, s.availBytes);
                break;
            }
        }
        // A file system without inodes (f_files 0) has no inode figures.
        if (inodes > 0 && measured) {
            out.set(field::FreeInodes, freeInodes);
            out.set(field::Inodes, inodes);
        }
        if (b.instance != kTotal && found) return;
        if (!found && b.instance != kTotal) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        if (!measured) return;  // no fields: invalid data
        // df's rule on the sums: ceil(used * 100 / (used + avail)).
        const long double sum = static_cast<long double>(used) + static_cast<long double>(avail);
        if (sum > 0)
            out.set(field::UsePercent,
                    static_cast<std::uint64_t>(std::ceil(static_cast<long double>(used) * 100.0L / sum)));
        out.set(field::AvailBytes, avail);
    }
};

}  // namespace

const Provider& logicalDiskProvider() {
    static const LogicalDiskProvider provider;
    return provider;
}

}  // namespace vantorel::pdh

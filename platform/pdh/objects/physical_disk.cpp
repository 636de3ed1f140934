#include "platform/pdh/objects/physical_disk.h"

#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/disks_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Diskstats, SourceCount };
constexpr SourceMask kDisk = src(Diskstats);
static_assert(fitsMasks<f::DiskFieldCount, SourceCount>());

constexpr double kMsToPercent = 100.0 / 1e3;
constexpr FieldMask kAllMs = bit(f::ReadMs) | bit(f::WriteMs) | bit(f::DiscardMs) | bit(f::FlushMs);
constexpr FieldMask kAllDone = bit(f::Reads) | bit(f::Writes) | bit(f::Discards) | bit(f::Flushes);

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{"Disk Reads/sec", "Read requests completed per second, from /proc/diskstats.", N, Rate, kDisk, bit(f::Reads), 0, 1, Unit::PerSecond},
    CounterDef{"Disk Writes/sec", "Write requests completed per second, from /proc/diskstats.", N, Rate, kDisk, bit(f::Writes), 0, 1, Unit::PerSecond},
    CounterDef{"Disk Transfers/sec", "Read and write requests completed per second, from /proc/diskstats.", N, Rate, kDisk, bit(f::Reads) | bit(f::Writes), 0, 1, Unit::PerSecond},
    CounterDef{"Disk Read Bytes/sec", "Bytes read per second, sectors read of /proc/diskstats times 512.", A, Rate, kDisk, bit(f::SectorsRead), 0, 512, Unit::BytesPerSecond},
    CounterDef{"Disk Write Bytes/sec", "Bytes written per second, sectors written of /proc/diskstats times 512.", A, Rate, kDisk, bit(f::SectorsWritten), 0, 512, Unit::BytesPerSecond},
    CounterDef{"Disk Bytes/sec", "Bytes read and written per second, sectors of /proc/diskstats times 512.", A, Rate, kDisk, bit(f::SectorsRead) | bit(f::SectorsWritten), 0, 512, Unit::BytesPerSecond},
    CounterDef{"% Disk Time", "Percentage of time the disk had I/O in flight, the io_ticks share of time of /proc/diskstats.", N, Rate, kDisk, bit(f::IoTicksMs), 0, kMsToPercent, Unit::Percent, true},
    CounterDef{"Avg. Disk Queue Length", "Average number of requests queued or in service, time_in_queue of /proc/diskstats over elapsed time.", A, Rate, kDisk, bit(f::QueueTimeMs), 0, 1e-3, Unit::Count},
    CounterDef{"Current Disk Queue Length", "Requests in flight now, from /proc/diskstats.", A, Gauge, kDisk, bit(f::InFlight), 0, 1, Unit::Count},
    CounterDef{"Avg. Disk ms/Read", "Average time of the reads completed in the interval in milliseconds, queueing included, from /proc/diskstats; 0 when none completed.", A, DeltaRatio, kDisk, bit(f::ReadMs), bit(f::Reads), 1, Unit::Milliseconds},
    CounterDef{"Avg. Disk ms/Write", "Average time of the writes completed in the interval in milliseconds, queueing included, from /proc/diskstats; 0 when none completed.", A, DeltaRatio, kDisk, bit(f::WriteMs), bit(f::Writes), 1, Unit::Milliseconds},
    CounterDef{"Avg. Disk ms/Transfer", "Average time of the reads, writes, discards and flushes completed in the interval in milliseconds, from /proc/diskstats; 0 when none completed.", A, DeltaRatio, kDisk, kAllMs, kAllDone, 1, Unit::Milliseconds},
};
// clang-format on

bool hasDoneIo(const sources::DiskStat& d) { return d.readsCompleted + d.writesCompleted != 0; }

void addDisk(const sources::DiskStat& d, RawRecord& out) {
    using namespace field;
    const auto add = [&](unsigned f, std::uint64_t v) { out.set(f, out.values[f] + v); };
    add(Reads, d.readsCompleted);
    add(Writes, d.writesCompleted);
    add(SectorsRead, d.sectorsRead);
    add(SectorsWritten, d.sectorsWritten);
    add(IoTicksMs, d.ioTicksMs);
    add(QueueTimeMs, d.timeInQueueMs);
    add(InFlight, d.inFlight);
    add(ReadMs, d.readMs);
    add(WriteMs, d.writeMs);
    add(Discards, d.discardsCompleted);
    add(DiscardMs, d.discardMs);
    add(Flushes, d.flushesCompleted);
    add(FlushMs, d.flushMs);
}

class PhysicalDiskProvider final : public TableProvider {
public:
    PhysicalDiskProvider()
        : TableProvider({"PhysicalDisk", "Activity of each whole disk that has done I/O, from /proc/diskstats.", true, "device"},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::string> out;
        if (const DiskTable* disks = sources.get<DisksSource>()) {
            out.emplace_back(kTotal);
            for (const auto& d : disks->stats.disks)
                if (disks->isWholeDisk(d.name) && hasDoneIo(d)) out.push_back(d.name);
        }
        return out;
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        const DiskTable* disks = sources.get<DisksSource>();
        if (disks == nullptr) return void(out.status = PDH_CSTATUS_INVALID_DATA);
        if (b.instance == kTotal) {
            unsigned members = 0;
            for (const sources::DiskStat& d : disks->stats.disks) {
                if (!disks->isWholeDisk(d.name) || !hasDoneIo(d)) continue;
                addDisk(d, out);
                ++members;
            }
            if (members == 0) addDisk(sources::DiskStat{}, out);
            // Each disk's ms fields wrap at 32 bits; summed modulo 2^32 the total
            // wraps the same way, so one disk's wrap reads as a wrap, not a reset.
            for (unsigned f : {field::IoTicksMs, field::QueueTimeMs, field::ReadMs, field::WriteMs, field::DiscardMs,
                               field::FlushMs})
                out.values[f] &= 0xFFFFFFFFu;
            out.members = members > 0 ? members : 1;
            return;
        }
        if (!disks->isWholeDisk(b.instance)) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        for (const sources::DiskStat& d : disks->stats.disks)
            if (d.name == b.instance) return addDisk(d, out);
        out.status = PDH_CSTATUS_NO_INSTANCE;
    }
};

}  // namespace

const Provider& physicalDiskProvider() {
    static const PhysicalDiskProvider provider;
    return provider;
}

}  // namespace vantorel::pdh

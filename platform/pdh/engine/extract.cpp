#include "platform/pdh/engine/extract.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/pdh/sources/proc_entries.h"

namespace vantorel::pdh {
namespace {

void fromCpu(const sources::CpuTimes& t, RawRecord& out) {
    using namespace field;
    out.set(User, t.user);
    out.set(Nice, t.nice);  // guest and guest_nice are already inside these two
    out.set(System, t.system);
    out.set(Idle, t.idle);
    out.set(IoWait, t.iowait);
    out.set(Irq, t.irq);
    out.set(SoftIrq, t.softirq);
    out.set(Steal, t.steal);
}

void processor(std::string_view instance, const MachineSources& m, RawRecord& out) {
    if (!m.stat) return void(out.status = PDH_CSTATUS_INVALID_DATA);
    if (instance == kTotal) return fromCpu(m.stat->total, out);
    const std::optional<std::int32_t> id = instance == "0" ? std::optional<std::int32_t>(0) : sources::parsePid(instance);
    if (id) {
        for (const sources::CpuLine& cpu : m.stat->cpus)
            if (cpu.id == static_cast<unsigned>(*id)) return fromCpu(cpu.times, out);
    }
    out.status = PDH_CSTATUS_NO_INSTANCE;
}

void memory(const MachineSources& m, RawRecord& out) {
    using namespace field;
    if (m.meminfo) {
        const sources::Meminfo& mi = *m.meminfo;
        // MemAvailable appeared in Linux 3.14; before it MemFree is the best there is.
        if (mi.memAvailable) out.set(MemAvailable, *mi.memAvailable);
        else if (mi.memFree) out.set(MemAvailable, *mi.memFree);
        if (mi.memFree) out.set(MemFree, *mi.memFree);
        if (mi.buffers && mi.cached) out.set(Cache, *mi.buffers + *mi.cached + mi.sReclaimable.value_or(0));
        if (mi.committedAs) out.set(CommittedAs, *mi.committedAs);
        if (mi.commitLimit) out.set(CommitLimit, *mi.commitLimit);
    }
    if (m.vmstat) {
        if (m.vmstat->pgfault) out.set(PgFault, *m.vmstat->pgfault);
        if (m.vmstat->pswpin) out.set(PswpIn, *m.vmstat->pswpin);
        if (m.vmstat->pswpout) out.set(PswpOut, *m.vmstat->pswpout);
    }
}

void pagingFile(std::string_view instance, const MachineSources& m, RawRecord& out) {
    if (instance != kTotal) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
    if (!m.meminfo || !m.meminfo->swapTotal || !m.meminfo->swapFree) return;
    const std::uint64_t total = *m.meminfo->swapTotal;
    const std::uint64_t free = std::min(*m.meminfo->swapFree, total);
    out.set(field::SwapUsed, total - free);
    out.set(field::SwapTotal, total);
}

void system(const CollectedSources& s, RawRecord& out) {
    using namespace field;
    if (s.scan.listed()) {
        out.set(ProcessCount, s.scan.processCount());
        out.set(ThreadCount, s.scan.threadCount());
    }
    if (const auto& st = s.machine.stat) {
        if (st->ctxt) out.set(Ctxt, *st->ctxt);
        if (st->interrupts) out.set(Intr, *st->interrupts);
        if (st->processes) out.set(Forks, *st->processes);
        if (st->procsRunning) out.set(ProcsRunning, *st->procsRunning);
        if (st->procsBlocked) out.set(ProcsBlocked, *st->procsBlocked);
    }
    if (s.machine.uptime) out.set(UptimeCentis, static_cast<std::uint64_t>(std::llround(s.machine.uptime->upSeconds * 100.0)));
}

void network(std::string_view instance, const MachineSources& m, RawRecord& out) {
    using namespace field;
    if (!m.netDev) return void(out.status = PDH_CSTATUS_INVALID_DATA);
    const auto& devices = m.netDev->devices;
    const auto dev = std::find_if(devices.begin(), devices.end(), [&](const sources::NetDevice& d) { return d.name == instance; });
    if (dev == devices.end()) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
    out.set(RxBytes, dev->rxBytes);
    out.set(TxBytes, dev->txBytes);
    out.set(RxPackets, dev->rxPackets);
    out.set(TxPackets, dev->txPackets);
    out.set(RxErrs, dev->rxErrors);
    out.set(TxErrs, dev->txErrors);
    out.set(RxDrop, dev->rxDropped);
    out.set(TxDrop, dev->txDropped);
    const NetSpeed* speed = m.speedOf(instance);
    if (speed != nullptr && speed->mbits) out.set(SpeedMbit, *speed->mbits);
}

bool isWholeDisk(const MachineSources& m, std::string_view name) {
    return std::binary_search(m.wholeDisks.begin(), m.wholeDisks.end(), name, std::less<>{});
}

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
}

void physicalDisk(std::string_view instance, const MachineSources& m, RawRecord& out) {
    if (!m.diskstats || !m.wholeDisksKnown) return void(out.status = PDH_CSTATUS_INVALID_DATA);
    if (instance == kTotal) {
        unsigned members = 0;
        for (const sources::DiskStat& d : m.diskstats->disks) {
            if (!isWholeDisk(m, d.name) || !hasDoneIo(d)) continue;
            addDisk(d, out);
            ++members;
        }
        if (members == 0) addDisk(sources::DiskStat{}, out);
        // Each disk's ms fields wrap at 32 bits; summed modulo 2^32 the total
        // wraps the same way, so one disk's wrap reads as a wrap, not a reset.
        for (unsigned f : {field::IoTicksMs, field::QueueTimeMs}) out.values[f] &= 0xFFFFFFFFu;
        out.members = members > 0 ? members : 1;
        return;
    }
    if (!isWholeDisk(m, instance)) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
    for (const sources::DiskStat& d : m.diskstats->disks)
        if (d.name == instance) return addDisk(d, out);
    out.status = PDH_CSTATUS_NO_INSTANCE;
}

void logicalDisk(std::string_view instance, const MachineSources& m, RawRecord& out) {
    if (!m.mounts) return void(out.status = PDH_CSTATUS_INVALID_DATA);
    std::uint64_t used = 0;
    std::uint64_t avail = 0;
    bool found = false;
    for (const MountSpace& s : *m.mounts) {
        if (instance != kTotal && s.mountPoint != instance) continue;
        found = true;
        used += s.usedBytes;
        avail += s.availBytes;
        if (instance != kTotal) {
            if (s.usePercent) out.set(field::UsePercent, *s.usePercent);
            out.set(field::AvailBytes, s.availBytes);
            return;
        }
    }
    if (!found && instance != kTotal) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
    // df's rule on the sums: ceil(used * 100 / (used + avail)).
    const long double sum = static_cast<long double>(used) + static_cast<long double>(avail);
    if (sum > 0) out.set(field::UsePercent, static_cast<std::uint64_t>(std::ceil(static_cast<long double>(used) * 100.0L / sum)));
    out.set(field::AvailBytes, avail);
}

}  // namespace

void extractRecord(ObjectId object, std::string_view instance, const CollectedSources& s, RawRecord& out) {
    out.status = PDH_CSTATUS_VALID_DATA;
    out.start = 0.0;
    out.members = 1.0;
    out.valid = 0;
    out.values.fill(0);
    switch (object) {
        case ObjectId::Processor: return processor(instance, s.machine, out);
        case ObjectId::Memory: return memory(s.machine, out);
        case ObjectId::PagingFile: return pagingFile(instance, s.machine, out);
        case ObjectId::System: return system(s, out);
        case ObjectId::Process: {
            const RawRecord& total = s.scan.total();
            out = total;
            return;
        }
        case ObjectId::NetworkInterface: return network(instance, s.machine, out);
        case ObjectId::PhysicalDisk: return physicalDisk(instance, s.machine, out);
        case ObjectId::LogicalDisk: return logicalDisk(instance, s.machine, out);
    }
}

std::vector<std::string> listInstances(ObjectId object, const CollectedSources& s) {
    std::vector<std::string> out;
    const MachineSources& m = s.machine;
    switch (object) {
        case ObjectId::Processor:
            if (m.stat) {
                out.emplace_back(kTotal);
                for (const auto& cpu : m.stat->cpus) out.push_back(std::to_string(cpu.id));
            }
            break;
        case ObjectId::PagingFile: out.emplace_back(kTotal); break;
        case ObjectId::NetworkInterface:
            if (m.netDev)
                for (const auto& d : m.netDev->devices) out.push_back(d.name);
            break;
        case ObjectId::PhysicalDisk:
            if (m.diskstats) {
                out.emplace_back(kTotal);
                for (const auto& d : m.diskstats->disks)
                    if (isWholeDisk(m, d.name) && hasDoneIo(d)) out.push_back(d.name);
            }
            break;
        case ObjectId::LogicalDisk:
            if (m.mounts) {
                out.emplace_back(kTotal);
                for (const auto& mount : *m.mounts) out.push_back(mount.mountPoint);
            }
            break;
        case ObjectId::Memory:
        case ObjectId::System:
        case ObjectId::Process:  // listed by the caller from its scan of /proc
            break;
    }
    return out;
}

}  // namespace vantorel::pdh

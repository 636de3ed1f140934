#include "platform/pdh/engine/catalogue.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vantorel::pdh {
namespace {

using enum Kind;
using enum ObjectId;
namespace f = field;

constexpr DWORD N = PERF_DETAIL_NOVICE;
constexpr DWORD A = PERF_DETAIL_ADVANCED;
constexpr DWORD E = PERF_DETAIL_EXPERT;
constexpr DWORD W = PERF_DETAIL_WIZARD;

constexpr SourceSet S(Source s) { return static_cast<SourceSet>(s); }

constexpr FieldMask kCpuAll = bit(f::User) | bit(f::Nice) | bit(f::System) | bit(f::Idle) |
                              bit(f::IoWait) | bit(f::Irq) | bit(f::SoftIrq) | bit(f::Steal);
// Process times are held in microseconds; a share of time is a rate of busy seconds.
constexpr double kUsToPercent = 100.0 / 1e6;
constexpr double kMsToPercent = 100.0 / 1e3;

constexpr std::array kObjects{
    ObjectDef{Processor, "Processor", "Time the processors spent in each state, from the cpu lines of /proc/stat.", InstanceKind::Cpu},
    ObjectDef{Memory, "Memory", "Physical and committed memory and paging activity, from /proc/meminfo and /proc/vmstat.", InstanceKind::None},
    ObjectDef{PagingFile, "Paging File", "Use of the swap space, from /proc/meminfo.", InstanceKind::TotalOnly},
    ObjectDef{System, "System", "Machine-wide process, thread, scheduling and interrupt figures, from /proc/stat, /proc/uptime and /proc.", InstanceKind::None},
    ObjectDef{Process, "Process", "Each running process (name:pid), from /proc/PID/stat, status, io and fd.", InstanceKind::Process},
    ObjectDef{NetworkInterface, "Network Interface", "Traffic and errors of each network interface, from /proc/net/dev and /sys/class/net.", InstanceKind::Interface},
    ObjectDef{PhysicalDisk, "PhysicalDisk", "Activity of each whole disk that has done I/O, from /proc/diskstats.", InstanceKind::Disk},
    ObjectDef{LogicalDisk, "LogicalDisk", "Space on each mounted file system as df lists them, from /proc/self/mountinfo and statvfs.", InstanceKind::MountPoint},
};

constexpr auto kStat = S(Source::Stat);
constexpr auto kMem = S(Source::Meminfo);
constexpr auto kVm = S(Source::Vmstat);
constexpr auto kPid = S(Source::PidStat);
constexpr auto kNet = S(Source::NetDev);
constexpr auto kDisk = S(Source::Diskstats);
constexpr auto kMnt = S(Source::Mounts);

// clang-format off
constexpr std::array kCounters{
    // object, name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{Processor, "% Processor Time", "Percentage of time the processor was busy, 100 minus the idle and iowait share of the ticks in /proc/stat.", N, TickShare, kStat, bit(f::Idle) | bit(f::IoWait), kCpuAll, 1, Unit::Percent, true, true, 100},
    CounterDef{Processor, "% User Time", "Percentage of time in user mode, user plus nice ticks of /proc/stat.", A, TickShare, kStat, bit(f::User) | bit(f::Nice), kCpuAll, 1, Unit::Percent, true},
    CounterDef{Processor, "% Privileged Time", "Percentage of time in kernel mode, the system ticks of /proc/stat.", A, TickShare, kStat, bit(f::System), kCpuAll, 1, Unit::Percent, true},
    CounterDef{Processor, "% Interrupt Time", "Percentage of time servicing hardware interrupts, the irq ticks of /proc/stat.", A, TickShare, kStat, bit(f::Irq), kCpuAll, 1, Unit::Percent, true},
    CounterDef{Processor, "% DPC Time", "Percentage of time servicing deferred work (softirqs), the softirq ticks of /proc/stat.", A, TickShare, kStat, bit(f::SoftIrq), kCpuAll, 1, Unit::Percent, true},
    CounterDef{Processor, "% Idle Time", "Percentage of time the processor was idle, the idle ticks of /proc/stat.", A, TickShare, kStat, bit(f::Idle), kCpuAll, 1, Unit::Percent, true, false, 100},
    CounterDef{Processor, "% IO Wait Time", "Percentage of time idle while disk I/O was outstanding, the iowait ticks of /proc/stat.", A, TickShare, kStat, bit(f::IoWait), kCpuAll, 1, Unit::Percent, true},
    CounterDef{Processor, "% Steal Time", "Percentage of time a hypervisor ran something else while this virtual cpu wanted to run, the steal ticks of /proc/stat.", E, TickShare, kStat, bit(f::Steal), kCpuAll, 1, Unit::Percent, true},

    CounterDef{Memory, "Available Bytes", "Memory available for starting new work without swapping, in bytes, MemAvailable of /proc/meminfo.", N, Gauge, kMem, bit(f::MemAvailable), 0, 1, Unit::Bytes},
    CounterDef{Memory, "Available KBytes", "Memory available for starting new work without swapping, in KiB, MemAvailable of /proc/meminfo.", N, Gauge, kMem, bit(f::MemAvailable), 0, 1.0 / 1024, Unit::Bytes},
    CounterDef{Memory, "Available MBytes", "Memory available for starting new work without swapping, in MiB, MemAvailable of /proc/meminfo.", N, Gauge, kMem, bit(f::MemAvailable), 0, 1.0 / (1024 * 1024), Unit::Bytes},
    CounterDef{Memory, "Free Bytes", "Memory not used for anything, in bytes, MemFree of /proc/meminfo.", A, Gauge, kMem, bit(f::MemFree), 0, 1, Unit::Bytes},
    CounterDef{Memory, "Cache Bytes", "Memory holding buffers, page cache and reclaimable slab, in bytes, Buffers+Cached+SReclaimable of /proc/meminfo.", A, Gauge, kMem, bit(f::Cache), 0, 1, Unit::Bytes},
    CounterDef{Memory, "Committed Bytes", "Memory the processes have been promised, in bytes, Committed_AS of /proc/meminfo.", A, Gauge, kMem, bit(f::CommittedAs), 0, 1, Unit::Bytes},
    CounterDef{Memory, "Commit Limit", "Memory that can be promised under strict overcommit, in bytes, CommitLimit of /proc/meminfo.", A, Gauge, kMem, bit(f::CommitLimit), 0, 1, Unit::Bytes},
    CounterDef{Memory, "% Committed Bytes In Use", "Committed_AS as a percentage of CommitLimit from /proc/meminfo; may exceed 100 under overcommit.", N, Ratio, kMem, bit(f::CommittedAs), bit(f::CommitLimit), 1, Unit::Percent},
    CounterDef{Memory, "Page Faults/sec", "Page faults per second, minor and major, the pgfault rate of /proc/vmstat.", N, Rate, kVm, bit(f::PgFault), 0, 1, Unit::PerSecond},
    CounterDef{Memory, "Pages Input/sec", "Pages swapped in per second, the pswpin rate of /proc/vmstat.", A, Rate, kVm, bit(f::PswpIn), 0, 1, Unit::PerSecond},
    CounterDef{Memory, "Pages Output/sec", "Pages swapped out per second, the pswpout rate of /proc/vmstat.", A, Rate, kVm, bit(f::PswpOut), 0, 1, Unit::PerSecond},
    CounterDef{Memory, "Pages/sec", "Pages swapped in and out per second, pswpin plus pswpout of /proc/vmstat.", N, Rate, kVm, bit(f::PswpIn) | bit(f::PswpOut), 0, 1, Unit::PerSecond},

    CounterDef{PagingFile, "% Usage", "Percentage of swap space in use, (SwapTotal-SwapFree)/SwapTotal of /proc/meminfo; 0 without swap.", N, Ratio, kMem, bit(f::SwapUsed), bit(f::SwapTotal), 1, Unit::Percent, true},

    CounterDef{System, "Processes", "Number of processes, the numeric entries of /proc.", N, Gauge, S(Source::ProcessList), bit(f::ProcessCount), 0, 1, Unit::Count},
    CounterDef{System, "Threads", "Number of threads, the sum of the thread counts in /proc/PID/stat.", N, Gauge, S(Source::ProcessList) | Source::PidStat, bit(f::ThreadCount), 0, 1, Unit::Count},
    CounterDef{System, "Context Switches/sec", "Context switches per second on all processors, the ctxt rate of /proc/stat.", N, Rate, kStat, bit(f::Ctxt), 0, 1, Unit::PerSecond},
    CounterDef{System, "Interrupts/sec", "Interrupts per second on all processors, the rate of the first intr number of /proc/stat.", A, Rate, kStat, bit(f::Intr), 0, 1, Unit::PerSecond},
    CounterDef{System, "Forks/sec", "Processes created per second, the rate of processes in /proc/stat.", A, Rate, kStat, bit(f::Forks), 0, 1, Unit::PerSecond},
    CounterDef{System, "Processor Queue Length", "Threads runnable now, procs_running of /proc/stat.", N, Gauge, kStat, bit(f::ProcsRunning), 0, 1, Unit::Count},
    CounterDef{System, "Processes Blocked", "Threads blocked on I/O now, procs_blocked of /proc/stat.", A, Gauge, kStat, bit(f::ProcsBlocked), 0, 1, Unit::Count},
    CounterDef{System, "System Up Time", "Seconds since boot, from /proc/uptime.", N, Gauge, S(Source::Uptime), bit(f::UptimeCentis), 0, 0.01, Unit::Seconds},

    CounterDef{Process, "% Processor Time", "Percentage of one processor the process used, user plus system time of /proc/PID/stat; runs to 100 times the processors.", N, Rate, kPid, bit(f::Utime) | bit(f::Stime), 0, kUsToPercent, Unit::Percent},
    CounterDef{Process, "% User Time", "Percentage of one processor the process used in user mode, utime of /proc/PID/stat.", A, Rate, kPid, bit(f::Utime), 0, kUsToPercent, Unit::Percent},
    CounterDef{Process, "% Privileged Time", "Percentage of one processor the process used in kernel mode, stime of /proc/PID/stat.", A, Rate, kPid, bit(f::Stime), 0, kUsToPercent, Unit::Percent},
    CounterDef{Process, "Working Set", "Resident memory of the process in bytes, rss of /proc/PID/stat times the page size.", N, Gauge, kPid, bit(f::Rss), 0, 1, Unit::Bytes},
    CounterDef{Process, "Private Bytes", "Resident anonymous memory of the process in bytes, RssAnon of /proc/PID/status.", N, Gauge, S(Source::PidStatus), bit(f::RssAnon), 0, 1, Unit::Bytes},
    CounterDef{Process, "Virtual Bytes", "Virtual address space of the process in bytes, vsize of /proc/PID/stat.", A, Gauge, kPid, bit(f::Vsize), 0, 1, Unit::Bytes},
    CounterDef{Process, "Thread Count", "Threads of the process, num_threads of /proc/PID/stat.", N, Gauge, kPid, bit(f::Threads), 0, 1, Unit::Count},
    CounterDef{Process, "ID Process", "Process id, from /proc/PID/stat.", N, Gauge, kPid, bit(f::Pid), 0, 1, Unit::Count},
    CounterDef{Process, "Creating Process ID", "Id of the parent process, ppid of /proc/PID/stat.", A, Gauge, kPid, bit(f::Ppid), 0, 1, Unit::Count},
    CounterDef{Process, "Elapsed Time", "Seconds since the process started, from starttime of /proc/PID/stat.", A, Elapsed, kPid, 0, 0, 1, Unit::Seconds},
    CounterDef{Process, "Page Faults/sec", "Page faults of the process per second, minflt plus majflt of /proc/PID/stat.", A, Rate, kPid, bit(f::MinFlt) | bit(f::MajFlt), 0, 1, Unit::PerSecond},
    CounterDef{Process, "Handle Count", "Open file descriptors of the process, the entries of /proc/PID/fd.", A, Gauge, S(Source::PidFd), bit(f::Fds), 0, 1, Unit::Count},
    CounterDef{Process, "IO Read Bytes/sec", "Bytes the process read per second through any read call, rchar of /proc/PID/io.", A, Rate, S(Source::PidIo), bit(f::Rchar), 0, 1, Unit::BytesPerSecond},
    CounterDef{Process, "IO Write Bytes/sec", "Bytes the process wrote per second through any write call, wchar of /proc/PID/io.", A, Rate, S(Source::PidIo), bit(f::Wchar), 0, 1, Unit::BytesPerSecond},
    CounterDef{Process, "IO Read Operations/sec", "Read calls of the process per second, syscr of /proc/PID/io.", A, Rate, S(Source::PidIo), bit(f::Syscr), 0, 1, Unit::PerSecond},
    CounterDef{Process, "IO Write Operations/sec", "Write calls of the process per second, syscw of /proc/PID/io.", A, Rate, S(Source::PidIo), bit(f::Syscw), 0, 1, Unit::PerSecond},

    CounterDef{NetworkInterface, "Bytes Received/sec", "Bytes received per second, from /proc/net/dev.", N, Rate, kNet, bit(f::RxBytes), 0, 1, Unit::BytesPerSecond},
    CounterDef{NetworkInterface, "Bytes Sent/sec", "Bytes sent per second, from /proc/net/dev.", N, Rate, kNet, bit(f::TxBytes), 0, 1, Unit::BytesPerSecond},
    CounterDef{NetworkInterface, "Bytes Total/sec", "Bytes received and sent per second, from /proc/net/dev.", N, Rate, kNet, bit(f::RxBytes) | bit(f::TxBytes), 0, 1, Unit::BytesPerSecond},
    CounterDef{NetworkInterface, "Packets Received/sec", "Packets received per second, from /proc/net/dev.", A, Rate, kNet, bit(f::RxPackets), 0, 1, Unit::PerSecond},
    CounterDef{NetworkInterface, "Packets Sent/sec", "Packets sent per second, from /proc/net/dev.", A, Rate, kNet, bit(f::TxPackets), 0, 1, Unit::PerSecond},
    CounterDef{NetworkInterface, "Packets/sec", "Packets received and sent per second, from /proc/net/dev.", A, Rate, kNet, bit(f::RxPackets) | bit(f::TxPackets), 0, 1, Unit::PerSecond},
    CounterDef{NetworkInterface, "Packets Received Errors", "Received packets with errors since boot, from /proc/net/dev.", E, Gauge, kNet, bit(f::RxErrs), 0, 1, Unit::Count},
    CounterDef{NetworkInterface, "Packets Outbound Errors", "Packets that could not be sent because of errors since boot, from /proc/net/dev.", E, Gauge, kNet, bit(f::TxErrs), 0, 1, Unit::Count},
    CounterDef{NetworkInterface, "Packets Received Discarded", "Received packets dropped since boot, from /proc/net/dev.", E, Gauge, kNet, bit(f::RxDrop), 0, 1, Unit::Count},
    CounterDef{NetworkInterface, "Packets Outbound Discarded", "Outgoing packets dropped since boot, from /proc/net/dev.", E, Gauge, kNet, bit(f::TxDrop), 0, 1, Unit::Count},
    CounterDef{NetworkInterface, "Current Bandwidth", "Link speed in bits per second, from /sys/class/net/IF/speed (Mbit/s).", A, Gauge, S(Source::NetSpeed), bit(f::SpeedMbit), 0, 1e6, Unit::BitsPerSecond},

    CounterDef{PhysicalDisk, "Disk Reads/sec", "Read requests completed per second, from /proc/diskstats.", N, Rate, kDisk, bit(f::Reads), 0, 1, Unit::PerSecond},
    CounterDef{PhysicalDisk, "Disk Writes/sec", "Write requests completed per second, from /proc/diskstats.", N, Rate, kDisk, bit(f::Writes), 0, 1, Unit::PerSecond},
    CounterDef{PhysicalDisk, "Disk Transfers/sec", "Read and write requests completed per second, from /proc/diskstats.", N, Rate, kDisk, bit(f::Reads) | bit(f::Writes), 0, 1, Unit::PerSecond},
    CounterDef{PhysicalDisk, "Disk Read Bytes/sec", "Bytes read per second, sectors read of /proc/diskstats times 512.", A, Rate, kDisk, bit(f::SectorsRead), 0, 512, Unit::BytesPerSecond},
    CounterDef{PhysicalDisk, "Disk Write Bytes/sec", "Bytes written per second, sectors written of /proc/diskstats times 512.", A, Rate, kDisk, bit(f::SectorsWritten), 0, 512, Unit::BytesPerSecond},
    CounterDef{PhysicalDisk, "Disk Bytes/sec", "Bytes read and written per second, sectors of /proc/diskstats times 512.", A, Rate, kDisk, bit(f::SectorsRead) | bit(f::SectorsWritten), 0, 512, Unit::BytesPerSecond},
    CounterDef{PhysicalDisk, "% Disk Time", "Percentage of time the disk had I/O in flight, the io_ticks share of time of /proc/diskstats.", N, Rate, kDisk, bit(f::IoTicksMs), 0, kMsToPercent, Unit::Percent, true},
    CounterDef{PhysicalDisk, "Avg. Disk Queue Length", "Average number of requests queued or in service, time_in_queue of /proc/diskstats over elapsed time.", A, Rate, kDisk, bit(f::QueueTimeMs), 0, 1e-3, Unit::Count},
    CounterDef{PhysicalDisk, "Current Disk Queue Length", "Requests in flight now, from /proc/diskstats.", A, Gauge, kDisk, bit(f::InFlight), 0, 1, Unit::Count},

    CounterDef{LogicalDisk, "% Free Space", "Percentage of the file system's space free to users, 100 minus df's Use%, from statvfs.", N, Gauge, kMnt, bit(f::UsePercent), 0, 1, Unit::Percent, true, true},
    CounterDef{LogicalDisk, "Free Megabytes", "Space free to users in MiB, f_bavail times f_frsize of statvfs.", N, Gauge, kMnt, bit(f::AvailBytes), 0, 1.0 / (1024 * 1024), Unit::Bytes},
};
// clang-format on

static_assert(std::all_of(kCounters.begin(), kCounters.end(),
                          [](const CounterDef& c) { return c.detailLevel <= W; }));

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::span<const ObjectDef> objectCatalogue() { return kObjects; }
std::span<const CounterDef> counterCatalogue() { return kCounters; }

const ObjectDef* findObject(std::string_view name) {
    for (const ObjectDef& o : kObjects)
        if (equalsNoCase(o.name, name)) return &o;
    return nullptr;
}

const CounterDef* findCounter(const ObjectDef& object, std::string_view name) {
    for (const CounterDef& c : kCounters)
        if (c.object == object.id && equalsNoCase(c.name, name)) return &c;
    return nullptr;
}

const ObjectDef& objectDef(ObjectId id) { return kObjects[static_cast<std::size_t>(id)]; }

}  // namespace vantorel::pdh

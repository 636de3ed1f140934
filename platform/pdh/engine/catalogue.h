// The catalogue as data: every object and counter the library offers, one table
// entry per counter. The query engine computes a counter from its entry alone.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "pdh/pdh.h"

namespace vantorel::pdh {

enum class ObjectId : std::uint8_t {
    Processor,
    Memory,
    PagingFile,
    System,
    Process,
    NetworkInterface,
    PhysicalDisk,
    LogicalDisk,
};

// The raw numbers an object's instance yields on one collect. Each object uses
// its own enum of field indices into RawRecord::values.
inline constexpr std::size_t kMaxFields = 16;
using FieldMask = std::uint32_t;
constexpr FieldMask bit(auto field) { return FieldMask{1} << static_cast<unsigned>(field); }

namespace field {
enum Processor : unsigned { User, Nice, System, Idle, IoWait, Irq, SoftIrq, Steal, CpuFieldCount };
enum Memory : unsigned { MemAvailable, MemFree, Cache, CommittedAs, CommitLimit, PgFault, PswpIn, PswpOut };
enum PagingFile : unsigned { SwapUsed, SwapTotal };
enum System : unsigned { ProcessCount, ThreadCount, Ctxt, Intr, Forks, ProcsRunning, ProcsBlocked, UptimeCentis };
enum Process : unsigned { Utime, Stime, Rss, RssAnon, Vsize, Threads, Pid, Ppid, MinFlt, MajFlt, Fds, Rchar, Wchar, Syscr, Syscw };
enum Network : unsigned { RxBytes, TxBytes, RxPackets, TxPackets, RxErrs, TxErrs, RxDrop, TxDrop, SpeedMbit };
enum Disk : unsigned { Reads, Writes, SectorsRead, SectorsWritten, IoTicksMs, QueueTimeMs, InFlight };
enum LogicalDisk : unsigned { UsePercent, AvailBytes };
}  // namespace field

// What a collect must read for a counter. Per-process sources are read once per
// pid that a counter needs (or for every pid when _Total or System needs them).
enum class Source : std::uint16_t {
    Stat = 1 << 0,          // /proc/stat
    Meminfo = 1 << 1,       // /proc/meminfo
    Vmstat = 1 << 2,        // /proc/vmstat
    Uptime = 1 << 3,        // /proc/uptime
    ProcessList = 1 << 4,   // numeric entries of /proc
    NetDev = 1 << 5,        // /proc/net/dev
    NetSpeed = 1 << 6,      // /sys/class/net/IF/speed
    Diskstats = 1 << 7,     // /proc/diskstats (+ /sys/block listing)
    Mounts = 1 << 8,        // /proc/self/mountinfo + statvfs
    PidStat = 1 << 9,       // /proc/PID/stat
    PidStatus = 1 << 10,    // /proc/PID/status
    PidIo = 1 << 11,        // /proc/PID/io
    PidFd = 1 << 12,        // /proc/PID/fd listing
};
using SourceSet = std::uint16_t;
constexpr SourceSet operator|(Source a, Source b) {
    return static_cast<SourceSet>(static_cast<SourceSet>(a) | static_cast<SourceSet>(b));
}
constexpr SourceSet operator|(SourceSet a, Source b) { return static_cast<SourceSet>(a | static_cast<SourceSet>(b)); }
constexpr bool has(SourceSet set, Source s) { return (set & static_cast<SourceSet>(s)) != 0; }

enum class Kind : std::uint8_t {
    Gauge,      // scale x sum(a) now
    Rate,       // scale x delta sum(a) / elapsed seconds; a share of time is a rate of busy seconds x 100
    TickShare,  // 100 x delta sum(a) / delta sum(b), per-field negative deltas as 0
    Ratio,      // 100 x sum(a) / sum(b) of gauges; 0 when b is 0
    Elapsed,    // seconds from the instance's start (boot or process start) to now
};

enum class Unit : std::uint8_t { Percent, Bytes, Count, PerSecond, BytesPerSecond, BitsPerSecond, Seconds };

struct CounterDef {
    ObjectId object;
    std::string_view name;
    std::string_view description;
    DWORD detailLevel;
    Kind kind;
    SourceSet sources;
    FieldMask a;
    FieldMask b = 0;
    double scale = 1.0;
    Unit unit = Unit::Count;
    bool ceiling100 = false;    // 100 is the true ceiling: clamp to 0..100
    bool complement = false;    // value is 100 minus the computation
    double stillValue = 0.0;    // TickShare whose total did not move
};

enum class InstanceKind : std::uint8_t { None, Cpu, Process, Interface, Disk, MountPoint, TotalOnly };

struct ObjectDef {
    ObjectId id;
    std::string_view name;
    std::string_view description;
    InstanceKind instances;
};

std::span<const ObjectDef> objectCatalogue();
std::span<const CounterDef> counterCatalogue();

// Case-insensitive lookups; null when unknown.
const ObjectDef* findObject(std::string_view name);
const CounterDef* findCounter(const ObjectDef& object, std::string_view name);
const ObjectDef& objectDef(ObjectId id);

}  // namespace vantorel::pdh

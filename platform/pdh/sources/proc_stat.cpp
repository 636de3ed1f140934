#include "platform/pdh/sources/proc_stat.h"

#include "platform/pdh/sources/scan.h"

#include <array>

namespace vantorel::pdh::sources {

namespace {

constexpr unsigned kMinTickFields = 4;  // user nice system idle: every kernel
constexpr unsigned kMaxTickFields = 10;

// The tick fields after "cpu"/"cpuN". A later kernel may add fields: ignored.
std::optional<CpuTimes> parseTicks(std::string_view rest) {
    std::array<std::uint64_t, kMaxTickFields> ticks{};
    unsigned count = 0;
    while (count < kMaxTickFields) {
        const std::string_view token = scan::nextToken(rest);
        if (token.empty()) {
            break;
        }
        const OptU64 value = scan::toU64(token);
        if (!value) {
            return std::nullopt;
        }
        ticks[count++] = *value;
    }
    if (count < kMinTickFields) {
        return std::nullopt;
    }
    CpuTimes t;
    t.user = ticks[0];
    t.nice = ticks[1];
    t.system = ticks[2];
    t.idle = ticks[3];
    t.iowait = ticks[4];
    t.irq = ticks[5];
    t.softirq = ticks[6];
    t.steal = ticks[7];
    t.guest = ticks[8];
    t.guestNice = ticks[9];
    t.fields = count;
    return t;
}

// "ctxt 123": the first number after the key; a value already seen is kept.
void storeFirstNumber(OptU64& slot, std::string_view rest) {
    if (!slot) {
        slot = scan::toU64(scan::nextToken(rest));
    }
}

}  // namespace

std::uint64_t totalTicks(const CpuTimes& t) {
    return t.user + t.nice + t.system + t.idle + t.iowait + t.irq + t.softirq + t.steal;
}

std::optional<ProcStat> parseProcStat(std::string_view text) {
    ProcStat out;
    bool haveTotal = false;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::string_view rest = line;
        const std::string_view key = scan::nextToken(rest);
        if (key.starts_with("cpu")) {
            const std::optional<CpuTimes> ticks = parseTicks(rest);
            const std::string_view idText = key.substr(3);
            if (!ticks) {
                ++out.malformedLines;
            } else if (idText.empty()) {
                if (!haveTotal) {
                    out.total = *ticks;
                    haveTotal = true;
                }
            } else if (const auto id = scan::toNumber<unsigned>(idText)) {
                out.cpus.push_back(CpuLine{*id, *ticks});
            } else {
                ++out.malformedLines;
            }
        } else if (key == "ctxt") {
            storeFirstNumber(out.ctxt, rest);
        } else if (key == "intr") {
            storeFirstNumber(out.interrupts, rest);
        } else if (key == "processes") {
            storeFirstNumber(out.processes, rest);
        } else if (key == "procs_running") {
            storeFirstNumber(out.procsRunning, rest);
        } else if (key == "procs_blocked") {
            storeFirstNumber(out.procsBlocked, rest);
        } else if (key == "btime") {
            storeFirstNumber(out.btime, rest);
        }
    }
    if (!haveTotal) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources

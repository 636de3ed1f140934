#include "platform/pdh/sources/pid_stat.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

// A field this parser does not keep must still be a number, so that a line
// that is not a stat line is refused.
bool skipNumber(std::string_view& rest) {
    return scan::toNumber<std::int64_t>(scan::nextToken(rest)).has_value();
}

bool skipNumbers(std::string_view& rest, int count) {
    for (int i = 0; i < count; ++i) {
        if (!skipNumber(rest)) {
            return false;
        }
    }
    return true;
}

bool take(std::string_view& rest, std::uint64_t& out) {
    const OptU64 value = scan::toU64(scan::nextToken(rest));
    if (!value) {
        return false;
    }
    out = *value;
    return true;
}

bool takeNice(std::string_view& rest, std::int32_t& out) {
    const auto value = scan::toNumber<std::int32_t>(scan::nextToken(rest));
    if (!value) {
        return false;
    }
    out = *value;
    return true;
}

}  // namespace

std::optional<PidStat> parsePidStat(std::string_view text) {
    // One line, but comm may hold newlines: only the final '\n' ends it, and
    // without it the text may have been cut.
    if (!text.ends_with('\n')) {
        return std::nullopt;
    }
    text.remove_suffix(1);
    // comm is not escaped and may hold any of " ()\n": it runs from the first
    // '(' to the last ')', and nothing after that ')' can be a ')'.
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return std::nullopt;
    }
    PidStat out;
    const auto pid = scan::toNumber<std::int32_t>(scan::trim(text.substr(0, open)));  // (1) pid
    if (!pid || *pid < 0) {
        return std::nullopt;
    }
    out.pid = *pid;
    out.comm = std::string(text.substr(open + 1, close - open - 1));  // (2) comm
    std::string_view rest = text.substr(close + 1);

    const std::string_view state = scan::nextToken(rest);  // (3) state
    if (state.size() != 1) {
        return std::nullopt;
    }
    out.state = state.front();
    const auto ppid = scan::toNumber<std::int32_t>(scan::nextToken(rest));  // (4) ppid
    if (!ppid || *ppid < 0) {
        return std::nullopt;
    }
    out.ppid = *ppid;
    const bool ok = skipNumbers(rest, 5)              /* (5) pgrp .. (9) flags */
                    && take(rest, out.minflt)         /* (10) minflt */
                    && skipNumber(rest)               /* (11) cminflt */
                    && take(rest, out.majflt)         /* (12) majflt */
                    && skipNumber(rest)               /* (13) cmajflt */
                    && take(rest, out.utime)          /* (14) utime */
                    && take(rest, out.stime)          /* (15) stime */
                    && skipNumbers(rest, 3)           /* (16) cutime .. (18) priority */
                    && takeNice(rest, out.nice)       /* (19) nice */
                    && take(rest, out.numThreads)     /* (20) num_threads */
                    && skipNumber(rest)               /* (21) itrealvalue */
                    && take(rest, out.starttime)      /* (22) starttime */
                    && take(rest, out.vsize)          /* (23) vsize */
                    && take(rest, out.rss);           /* (24) rss */
    if (!ok) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources

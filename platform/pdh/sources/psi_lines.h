// The pressure-stall text of /proc/pressure/* and of a cgroup's *.pressure:
// "some avg10=0.00 avg60=0.00 avg300=0.00 total=123" and a "full" line alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct PsiLine {
    double avg10 = 0.0;  // the kernel's running averages, percent
    double avg60 = 0.0;
    double avg300 = 0.0;
    std::uint64_t totalUsec = 0;  // stalled time since counting began

    bool operator==(const PsiLine&) const = default;
};

struct PsiLines {
    std::optional<PsiLine> some;  // absent from some files (irq has only "full")
    std::optional<PsiLine> full;
    unsigned malformedLines = 0;

    bool operator==(const PsiLines&) const = default;
};

// std::nullopt when the text holds neither a whole "some" nor a whole "full" line.
std::optional<PsiLines> parsePsiLines(std::string_view text);

}  // namespace vantorel::pdh::sources

// /sys/block lists whole disks only (partitions live below them).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::pdh::sources {

// The kernel names of the disks in a /sys/block listing, sorted, as
// /proc/diskstats spells them: sysfs writes a '/' in a name as '!'
// ("cciss!c0d0" is "cciss/c0d0"). "." and ".." and empty names are dropped.
std::vector<std::string> wholeDisks(std::span<const std::string> entryNames);

}  // namespace vantorel::pdh::sources

// The fixed words of every failure; each names the failed call and ends in one
// blank, so that appended messages run on readably.
#pragma once

namespace messages {
inline constexpr char openQueryError[] = "PdhOpenQuery error ";
inline constexpr char addCounterError[] = "PdhAddCounter error ";
inline constexpr char collectError[] = "PdhCollectQueryData error ";
inline constexpr char readError[] = "PdhGetFormattedCounterValue error ";
inline constexpr char valueStatusError[] = "pdhFormattedValue.CStatus error ";
}  // namespace messages

// How every parser in this directory treats the text it is given.
//
// A parser is a pure function of the file's bytes (a std::string_view); it reads
// nothing, throws nothing, uses no locale and never reads outside the view.
//
//  1. No guessed number. A value whose text is missing, malformed, negative where
//     the kernel prints an unsigned count, or out of range is "no value": an empty
//     std::optional, never 0 and never an uninitialised field.
//  2. The kernel ends every line of these files with '\n'. A last line without
//     one may have been cut by a short read, so it is never used: "123" might have
//     been "12345". Pass the whole file, its final newline included.
//  3. Files of records (a line per cpu, interface, disk, mount) keep only records
//     that parse whole; a bad record is dropped, never half filled, and counted
//     in `malformedLines` where the result has that field.
//  4. A parser returns std::nullopt when the text does not hold what identifies
//     the file (no "cpu" line in /proc/stat, no pid and comm in /proc/PID/stat,
//     none of the known keys in a key/value file).
//  5. Optional fields are those an older kernel may not print (MemAvailable,
//     RssAnon, steal, guest); their absence is kept, not filled in.
#pragma once

#include <cstdint>
#include <optional>

namespace vantorel::pdh::sources {

using OptU64 = std::optional<std::uint64_t>;

}  // namespace vantorel::pdh::sources

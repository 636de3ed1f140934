// The tool's exit status, as scripts test it.
#pragma once

namespace vantorel::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the system or the output failed at run time
inline constexpr int kExitUsage = 2;    // bad arguments, an unknown object or a bad counter path

}  // namespace vantorel::cli

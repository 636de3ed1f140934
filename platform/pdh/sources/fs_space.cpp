#include "platform/pdh/sources/fs_space.h"

namespace vantorel::pdh::sources {

namespace {

// Block counts times 100 or times a fragment size can pass 2^64.
__extension__ using U128 = unsigned __int128;

}  // namespace

std::optional<unsigned> dfUsePercent(const FsBlocks& fs) {
    if (fs.freeBlocks > fs.blocks) {
        return std::nullopt;
    }
    const U128 used = fs.blocks - fs.freeBlocks;
    const U128 whole = used + fs.availBlocks;
    if (whole == 0) {
        return std::nullopt;
    }
    const U128 percent = (used * 100 + whole - 1) / whole;
    return static_cast<unsigned>(percent);
}

double freeMegabytes(const FsBlocks& fs) {
    const U128 bytes = static_cast<U128>(fs.availBlocks) * fs.fragmentSize;
    const U128 mib = bytes >> 20;
    const U128 remainder = bytes & ((U128{1} << 20) - 1);
    return static_cast<double>(mib) + static_cast<double>(remainder) / static_cast<double>(1U << 20);
}

}  // namespace vantorel::pdh::sources

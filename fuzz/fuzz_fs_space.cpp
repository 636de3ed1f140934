#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/fs_space.h"

#include <cstring>

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint64_t v[4] = {0, 0, 0, 0};
    if (data == nullptr || size < sizeof v) {
        return 0;
    }
    std::memcpy(v, data, sizeof v);
    const FsBlocks fs{v[0], v[1], v[2], v[3]};
    if (const auto use = dfUsePercent(fs)) {
        require(*use <= 100);
    }
    require(freeMegabytes(fs) >= 0.0);
    return 0;
}

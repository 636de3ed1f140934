#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/diskstats.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const DiskstatsTable parsed = parseDiskstats(text);
    require(parsed == parseDiskstats(vantorel::fuzz::completeLines(text)));
    for (const DiskStat& disk : parsed.disks) {
        require(!disk.name.empty());
    }
    return 0;
}

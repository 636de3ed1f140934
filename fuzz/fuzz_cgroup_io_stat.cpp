#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/cgroup_io_stat.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const CgroupIoStat io = parseCgroupIoStat(text);
    require(io == parseCgroupIoStat(vantorel::fuzz::completeLines(text)));
    // A sum never takes less than its devices: no wrap hides in it.
    require(io.devices != 0 || (io.readBytes == 0 && io.writeBytes == 0 && io.reads == 0 && io.writes == 0));
    return 0;
}

#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/pid_stat.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const auto parsed = parsePidStat(text);
    if (!text.ends_with('\n')) {
        require(!parsed);  // possibly cut
    }
    if (parsed) {
        require(parsed->comm.size() + 2 <= text.size());
        require(parsed->pid >= 0 && parsed->ppid >= 0);
    }
    return 0;
}

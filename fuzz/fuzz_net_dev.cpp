#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/net_dev.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const NetDevTable parsed = parseNetDev(text);
    require(parsed == parseNetDev(vantorel::fuzz::completeLines(text)));
    for (const NetDevice& device : parsed.devices) {
        require(!device.name.empty() && device.name.size() < 16);
        require(device.name.find_first_of(":/ \t\n\v\f\r") == std::string::npos);
    }
    return 0;
}

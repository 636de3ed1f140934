#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/sysfs_entries.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

// The input is a directory listing, one name a line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = vantorel::fuzz::asText(data, size);
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        names.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    for (const HwmonChannel& c : hwmonChannels(names)) require(!c.valueFile.empty() && c.valueFile.starts_with(c.name));
    for (const std::string& card : drmCards(names)) require(card.starts_with("card") && numberedEntry(card, "card"));
    return 0;
}

#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/proc_entries.h"
#include "platform/pdh/sources/sys_block.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

// The input's lines stand for the names of a directory listing.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = vantorel::fuzz::asText(data, size);
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        names.emplace_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    const std::vector<std::int32_t> pids = pidsFromEntries(names);
    require(std::is_sorted(pids.begin(), pids.end()));
    for (const std::int32_t pid : pids) {
        require(pid > 0);
        require(std::find(names.begin(), names.end(), std::to_string(pid)) != names.end());
    }
    const std::vector<std::string> disks = wholeDisks(names);
    require(disks.size() <= names.size());
    for (const std::string& disk : disks) {
        require(!disk.empty() && disk.find('!') == std::string::npos);
    }
    return 0;
}

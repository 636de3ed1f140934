#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/mountinfo.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const MountTable parsed = parseMountinfo(text);
    require(parsed == parseMountinfo(vantorel::fuzz::completeLines(text)));
    for (const MountEntry& mount : parsed.mounts) {
        require(!mount.mountPoint.empty());
        // Unescaping only shrinks, and never makes a NUL that was not there.
        require(mount.mountPoint.size() <= text.size());
        require((mount.mountPoint.find(std::string_view("\0", 1)) == std::string::npos) ||
                (text.find(std::string_view("\0", 1)) != std::string_view::npos));
    }
    require(unescapeOctal(text).size() <= text.size());
    return 0;
}

#include "platform/pdh/sources/mountinfo.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

bool isOctal(char c) { return c >= '0' && c <= '7'; }

// Fields are separated by exactly one space (the kernel escapes spaces inside
// them), and a field may be empty: a mount with no source name shows "".
std::optional<MountEntry> parseMount(std::string_view rest) {
    const OptU64 mountId = scan::toU64(scan::nextField(rest, ' '));
    const OptU64 parentId = scan::toU64(scan::nextField(rest, ' '));
    std::string_view device = scan::nextField(rest, ' ');
    const auto major = scan::toNumber<unsigned>(scan::nextField(device, ':'));
    const auto minor = scan::toNumber<unsigned>(device);
    const std::string_view root = scan::nextField(rest, ' ');
    const std::string_view mountPoint = scan::nextField(rest, ' ');
    const std::string_view options = scan::nextField(rest, ' ');
    if (!mountId || !parentId || !major || !minor || root.empty() || mountPoint.empty()) {
        return std::nullopt;
    }
    // Zero or more optional fields ("shared:1", "master:2"), then a lone "-".
    bool separated = false;
    while (!rest.empty()) {
        if (scan::nextField(rest, ' ') == "-") {
            separated = true;
            break;
        }
    }
    if (!separated) {
        return std::nullopt;
    }
    const std::string_view fsType = scan::nextField(rest, ' ');
    if (fsType.empty() || rest.empty()) {
        return std::nullopt;  // no source field at all
    }
    const std::string_view source = scan::nextField(rest, ' ');

    MountEntry m;
    m.mountId = *mountId;
    m.parentId = *parentId;
    m.major = *major;
    m.minor = *minor;
    m.root = unescapeOctal(root);
    m.mountPoint = unescapeOctal(mountPoint);
    m.mountOptions = unescapeOctal(options);
    m.fsType = unescapeOctal(fsType);
    m.source = unescapeOctal(source);
    return m;
}

}  // namespace

std::string unescapeOctal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && isOctal(text[i + 1]) &&
            isOctal(text[i + 2]) && isOctal(text[i + 3])) {
            const int value = (text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0');
            // A NUL would cut the path short when handed to a system call.
            if (value != 0 && value <= 0xFF) {
                out.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

MountTable parseMountinfo(std::string_view text) {
    MountTable out;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (line.empty()) {
            continue;
        }
        if (std::optional<MountEntry> mount = parseMount(line)) {
            out.mounts.push_back(std::move(*mount));
        } else {
            ++out.malformedLines;
        }
    }
    return out;
}

}  // namespace vantorel::pdh::sources

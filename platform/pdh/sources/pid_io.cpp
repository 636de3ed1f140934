#include "platform/pdh/sources/pid_io.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

using scan::Unit;

constexpr scan::KeyField<PidIo> kFields[] = {
    {"rchar", &PidIo::rchar, Unit::None},
    {"wchar", &PidIo::wchar, Unit::None},
    {"syscr", &PidIo::syscr, Unit::None},
    {"syscw", &PidIo::syscw, Unit::None},
    {"read_bytes", &PidIo::readBytes, Unit::None},
    {"write_bytes", &PidIo::writeBytes, Unit::None},
};

}  // namespace

std::optional<PidIo> parsePidIo(std::string_view text) {
    PidIo out;
    bool known = false;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::string_view key;
        std::string_view value;
        if (scan::splitKeyValue(line, key, value)) {
            known = scan::storeKnownKey(kFields, key, value, out) || known;
        }
    }
    if (!known) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources

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

std::optional<PidIo> parsePidIo(std::string_view text) { return scan::parseKeyValueFile(text, kFields); }

}  // namespace vantorel::pdh::sources

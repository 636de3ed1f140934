// What the providers of device objects (sensors, batteries, GPUs) share: their
// attribute files read through BoundedReads, and their values as numbers.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/pdh/engine/bounded_reads.h"
#include "platform/pdh/engine/raw_record.h"
#include "platform/pdh/sources/sysfs_value.h"

namespace vantorel::pdh::objects {

inline std::shared_ptr<DeviceFile> deviceFile(std::string path) {
    return std::make_shared<DeviceFile>(std::move(path));
}

// The file's number this collect, when it was read in time and holds one.
inline std::optional<std::int64_t> integerOf(const std::shared_ptr<DeviceFile>& file) {
    const std::string* text = file != nullptr ? file->text() : nullptr;
    if (text == nullptr) return std::nullopt;
    return sources::parseSysfsInteger(*text);
}

// Signed fields travel as two's complement and are read back by SignedGauge.
inline void setSigned(RawRecord& out, unsigned field, std::optional<std::int64_t> value) {
    if (value) out.set(field, static_cast<std::uint64_t>(*value));
}
inline void setUnsigned(RawRecord& out, unsigned field, std::optional<std::int64_t> value) {
    if (value && *value >= 0) out.set(field, static_cast<std::uint64_t>(*value));
}

}  // namespace vantorel::pdh::objects

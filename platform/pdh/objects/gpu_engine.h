// GPU Engine: each engine a process uses on a GPU ("name:pid/ENGINE"), from the
// DRM usage stats in /proc/PID/fdinfo.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum Engine : unsigned { EngineBusyNs, EngineMemoryBytes, EngineFieldCount };
}  // namespace field

// "firefox:4242/render": the engine after the last '/' (a name may hold '/').
struct EngineInstance {
    std::string process;  // "firefox:4242"
    std::string engine;   // "render"
};
std::optional<EngineInstance> parseEngineInstance(std::string_view instance);

const Provider& gpuEngineProvider();

}  // namespace vantorel::pdh

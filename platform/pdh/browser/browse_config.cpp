#include "platform/pdh/browser/browse_config.h"

#include "platform/pdh/browser/counter_path_split.h"

#include <cstring>

namespace vantorel::pdh {

namespace {

std::optional<StartChoice> initialPath(const char* buffer, std::size_t capacity) {
    // The buffer may hold no terminator at all: look no further than its length.
    const void* end = std::memchr(buffer, '\0', capacity);
    if (end == nullptr) {
        return std::nullopt;
    }
    const std::string_view text(buffer, static_cast<std::size_t>(
                                            static_cast<const char*>(end) - buffer));
    const std::optional<CounterPathParts> parts = splitCounterPath(text);
    if (!parts) {
        return std::nullopt;
    }
    return StartChoice{std::string(parts->object), std::string(parts->counter),
                       std::string(parts->instance)};
}

}  // namespace

BrowseConfigCheck checkBrowseConfig(const PDH_BROWSE_DLG_CONFIG_A* config) {
    BrowseConfigCheck check;
    if (config == nullptr || config->szReturnPathBuffer == nullptr ||
        config->cchReturnPathLength == 0) {
        return check;
    }
    const bool oneCounterPerDialog =
        config->bSingleCounterPerAdd != 0 && config->bSingleCounterPerDialog != 0;
    const bool plainPathsOnly = config->bWildCardInstances == 0 &&
                                config->bIncludeInstanceIndex == 0 &&
                                config->bShowObjectBrowser == 0;
    const unsigned level = config->dwDefaultDetailLevel;
    if (!oneCounterPerDialog || !plainPathsOnly || config->bReserved != 0 ||
        config->szDataSource != nullptr || config->hWndOwner != nullptr ||
        (level != 0 && level < PERF_DETAIL_NOVICE)) {
        return check;
    }

    BrowseOptions& options = check.options;
    if (config->szDialogBoxCaption != nullptr && config->szDialogBoxCaption[0] != '\0') {
        options.caption = config->szDialogBoxCaption;
    }
    options.detailLevel = level == 0 ? PERF_DETAIL_WIZARD : level;
    options.showDetailBox = config->bHideDetailBox == 0;
    options.showMachine = config->bLocalCountersOnly == 0;
    options.machineSelectable = options.showMachine && config->bDisableMachineSelection == 0;
    options.capacity = config->cchReturnPathLength;
    if (config->bInitializePath != 0) {
        if (std::optional<StartChoice> start =
                initialPath(config->szReturnPathBuffer, options.capacity)) {
            options.start = std::move(*start);
        }
    }
    check.status = ERROR_SUCCESS;
    return check;
}

PathFit checkPathFits(std::string_view path, std::size_t capacity) {
    if (path.find('\0') != std::string_view::npos) {
        return PathFit::HoldsZeroByte;
    }
    return path.size() < capacity ? PathFit::Fits : PathFit::TooLong;
}

}  // namespace vantorel::pdh

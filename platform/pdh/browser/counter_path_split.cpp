#include "platform/pdh/browser/counter_path_split.h"

namespace vantorel::pdh {

std::optional<CounterPathParts> splitCounterPath(std::string_view path) {
    if (path.size() < 4 || path.front() != '\\' || path.starts_with("\\\\")) {
        return std::nullopt;
    }
    const std::size_t lastSlash = path.rfind('\\');
    if (lastSlash == 0) {
        return std::nullopt;
    }
    CounterPathParts parts;
    parts.counter = path.substr(lastSlash + 1);
    const std::string_view head = path.substr(1, lastSlash - 1);
    const std::size_t open = head.find('(');
    const std::size_t slash = head.find('\\');
    if (open != std::string_view::npos && (slash == std::string_view::npos || open < slash)) {
        if (head.back() != ')') {
            return std::nullopt;
        }
        parts.object = head.substr(0, open);
        parts.instance = head.substr(open + 1, head.size() - open - 2);
        parts.hasInstance = true;
    } else {
        if (slash != std::string_view::npos) {
            return std::nullopt;
        }
        parts.object = head;
    }
    if (parts.object.empty() || parts.counter.empty()) {
        return std::nullopt;
    }
    return parts;
}

}  // namespace vantorel::pdh

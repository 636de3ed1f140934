#include "platform/pdh/engine/counter_path.h"

namespace vantorel::pdh {

PDH_STATUS parseCounterPath(std::string_view path, ParsedPath& out) {
    out = ParsedPath{};
    if (path.empty()) return PDH_CSTATUS_NO_COUNTERNAME;
    // "\\machine\..." names another machine; only local counters exist here.
    if (path.size() < 2 || path[0] != '\\' || path[1] == '\\') return PDH_CSTATUS_BAD_COUNTERNAME;

    const std::size_t lastSlash = path.rfind('\\');
    if (lastSlash == 0) return PDH_CSTATUS_BAD_COUNTERNAME;
    const std::string_view counter = path.substr(lastSlash + 1);
    const std::string_view head = path.substr(1, lastSlash - 1);  // Object or Object(Instance)
    if (counter.empty() || head.empty()) return PDH_CSTATUS_BAD_COUNTERNAME;

    ParsedPath parsed;
    const std::size_t open = head.find('(');
    if (open == std::string_view::npos) {
        // Without an instance the object name cannot hold a '\' or a ')'.
        if (head.find_first_of("\\)") != std::string_view::npos) return PDH_CSTATUS_BAD_COUNTERNAME;
        parsed.object = std::string(head);
    } else {
        if (open == 0 || head.back() != ')') return PDH_CSTATUS_BAD_COUNTERNAME;
        const std::string_view object = head.substr(0, open);
        if (object.find_first_of("\\)") != std::string_view::npos) return PDH_CSTATUS_BAD_COUNTERNAME;
        parsed.object = std::string(object);
        parsed.instance = std::string(head.substr(open + 1, head.size() - open - 2));
        if (parsed.instance.empty()) return PDH_CSTATUS_BAD_COUNTERNAME;
        parsed.hasInstance = true;
    }
    parsed.counter = std::string(counter);
    out = std::move(parsed);
    return ERROR_SUCCESS;
}

}  // namespace vantorel::pdh

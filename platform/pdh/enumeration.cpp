#include "platform/pdh/enumeration.h"

namespace vantorel::pdh {

std::string makeCounterPath(std::string_view object, std::string_view instance,
                            std::string_view counter, bool hasInstances) {
    std::string path;
    path.reserve(object.size() + instance.size() + counter.size() + 4);
    path += '\\';
    path += object;
    if (hasInstances) {
        path += '(';
        path += instance;
        path += ')';
    }
    path += '\\';
    path += counter;
    return path;
}

}  // namespace vantorel::pdh

#include <array>

#include "platform/pdh/engine/library.h"

namespace vantorel::pdh {
namespace {

struct StatusText {
    PDH_STATUS status;
    const char* name;
    const char* meaning;
};

constexpr std::array kStatuses{
    StatusText{ERROR_SUCCESS, "ERROR_SUCCESS", "The operation succeeded."},
    StatusText{PDH_CSTATUS_NO_INSTANCE, "PDH_CSTATUS_NO_INSTANCE", "The instance does not exist now."},
    StatusText{PDH_MORE_DATA, "PDH_MORE_DATA", "The buffer is too small."},
    StatusText{PDH_NO_DATA, "PDH_NO_DATA", "There is no data yet: the query has not been collected, or the value needs one more collect."},
    StatusText{PDH_DIALOG_CANCELLED, "PDH_DIALOG_CANCELLED", "The browser was closed without a choice."},
    StatusText{PDH_CSTATUS_NO_OBJECT, "PDH_CSTATUS_NO_OBJECT", "The object is unknown."},
    StatusText{PDH_CSTATUS_NO_COUNTER, "PDH_CSTATUS_NO_COUNTER", "The object has no counter of that name."},
    StatusText{PDH_CSTATUS_INVALID_DATA, "PDH_CSTATUS_INVALID_DATA",
               "The value cannot be computed: the counter went backwards, its source is unreadable, or it is out of the format's range."},
    StatusText{PDH_INVALID_HANDLE, "PDH_INVALID_HANDLE", "The handle is null, unknown or closed."},
    StatusText{PDH_INVALID_ARGUMENT, "PDH_INVALID_ARGUMENT", "A pointer is null or the flags are not valid."},
    StatusText{PDH_CSTATUS_NO_COUNTERNAME, "PDH_CSTATUS_NO_COUNTERNAME", "The counter path is empty."},
    StatusText{PDH_CSTATUS_BAD_COUNTERNAME, "PDH_CSTATUS_BAD_COUNTERNAME", "The counter path cannot be parsed."},
    StatusText{PDH_INVALID_DATA, "PDH_INVALID_DATA", "The counter has no valid value."},
};

const StatusText* find(PDH_STATUS status) {
    for (const StatusText& s : kStatuses)
        if (s.status == status) return &s;
    return nullptr;
}

}  // namespace

const char* statusName(PDH_STATUS status) {
    const StatusText* s = find(status);
    return s != nullptr ? s->name : "unknown status";
}

const char* statusMeaning(PDH_STATUS status) {
    const StatusText* s = find(status);
    return s != nullptr ? s->meaning : "The library does not know this status.";
}

}  // namespace vantorel::pdh

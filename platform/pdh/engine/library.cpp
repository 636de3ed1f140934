#include "platform/pdh/engine/library.h"

#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/compute.h"
#include "platform/pdh/engine/counter_path.h"
#include "platform/pdh/engine/formatting.h"
#include "platform/pdh/engine/library_enumeration.h"
#include "platform/pdh/engine/query.h"

namespace vantorel::pdh {
namespace {

constexpr std::uintptr_t kTag = 0x5;  // no handle looks like an aligned pointer

}  // namespace

Library::Library(std::string procRoot, std::string sysRoot, std::shared_ptr<SystemReader> reader)
    : procRoot_(Roots::normalise(std::move(procRoot))),
      sysRoot_(Roots::normalise(std::move(sysRoot))),
      reader_(reader != nullptr                          ? std::move(reader)
              : procRoot_ == "/" && sysRoot_ == "/" ? makePosixReader()
                                                    : makeCapturedTreeReader(procRoot_)),
      enumeration_(makeEnumeration(Roots{procRoot_, sysRoot_}, reader_)) {}

Library::~Library() = default;

void* Library::newHandle(HandleEntry entry) {
    handles_.push_back(entry);
    return reinterpret_cast<void*>((handles_.size() << 4) | kTag);
}

const Library::HandleEntry* Library::lookup(const void* handle, HandleKind kind) const {
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    if ((value & 0xF) != kTag) return nullptr;
    const std::uintptr_t index = value >> 4;
    if (index == 0 || index > handles_.size()) return nullptr;
    const HandleEntry& entry = handles_[index - 1];
    return entry.kind == kind ? &entry : nullptr;
}

Query* Library::findQuery(PDH_HQUERY handle) {
    const HandleEntry* entry = lookup(handle, HandleKind::Query);
    return entry != nullptr ? entry->query : nullptr;
}

PDH_STATUS Library::openQuery(DWORD_PTR userData, PDH_HQUERY* query) {
    if (query == nullptr) return PDH_INVALID_ARGUMENT;
    queries_.push_back(
        std::make_unique<Query>(Roots{procRoot_, sysRoot_}, *reader_, userData));
    *query = newHandle(HandleEntry{HandleKind::Query, queries_.back().get(), nullptr});
    return ERROR_SUCCESS;
}

PDH_STATUS Library::addCounter(PDH_HQUERY query, const char* path, DWORD_PTR userData, PDH_HCOUNTER* counter) {
    Query* q = findQuery(query);
    if (q == nullptr) return PDH_INVALID_HANDLE;
    if (path == nullptr || counter == nullptr) return PDH_INVALID_ARGUMENT;
    ParsedPath parsed;
    const PDH_STATUS status = parseCounterPath(path, parsed);
    if (status != ERROR_SUCCESS) return status;
    const ObjectDef* object = findObject(parsed.object);
    if (object == nullptr) return PDH_CSTATUS_NO_OBJECT;
    const CounterDef* def = findCounter(*object, parsed.counter);
    if (def == nullptr) return PDH_CSTATUS_NO_COUNTER;
    if (parsed.hasInstance != object->hasInstances) return PDH_CSTATUS_BAD_COUNTERNAME;

    Counter& added = q->add(*def, std::move(parsed.instance), userData);
    *counter = newHandle(HandleEntry{HandleKind::Counter, q, &added});
    return ERROR_SUCCESS;
}

PDH_STATUS Library::collect(PDH_HQUERY query) {
    Query* q = findQuery(query);
    if (q == nullptr) return PDH_INVALID_HANDLE;
    q->collect();
    return ERROR_SUCCESS;
}

PDH_STATUS Library::formattedValue(PDH_HCOUNTER counter, DWORD format, DWORD* type, PDH_FMT_COUNTERVALUE* value) {
    if (value == nullptr) return PDH_INVALID_ARGUMENT;
    const HandleEntry* entry = lookup(counter, HandleKind::Counter);
    if (entry == nullptr || entry->query == nullptr || entry->counter == nullptr) {
        writeFailure(PDH_INVALID_HANDLE, *value);
        return PDH_INVALID_HANDLE;
    }
    if (!validFormat(format)) {
        writeFailure(PDH_INVALID_ARGUMENT, *value);
        return PDH_INVALID_ARGUMENT;
    }
    const Counter& c = *entry->counter;
    if (type != nullptr && c.def != nullptr) *type = counterType(*c.def);
    const Computed computed = entry->query->value(c, (format & PDH_FMT_NOCAP100) != 0);
    if (computed.cstatus != PDH_CSTATUS_VALID_DATA) {
        writeFailure(computed.cstatus, *value);
        return PDH_INVALID_DATA;
    }
    return formatValue(computed.value, format, *value) == PDH_CSTATUS_VALID_DATA ? ERROR_SUCCESS : PDH_INVALID_DATA;
}

PDH_STATUS Library::rawValue(PDH_HCOUNTER counter, DWORD* type, PDH_RAW_COUNTER* value) {
    if (value == nullptr) return PDH_INVALID_ARGUMENT;
    const HandleEntry* entry = lookup(counter, HandleKind::Counter);
    if (entry == nullptr || entry->query == nullptr || entry->counter == nullptr) {
        *value = PDH_RAW_COUNTER{PDH_INVALID_HANDLE, {}, 0, 0, 0};
        return PDH_INVALID_HANDLE;
    }
    const Counter& c = *entry->counter;
    if (type != nullptr && c.def != nullptr) *type = counterType(*c.def);
    *value = entry->query->raw(c);
    return value->CStatus == PDH_CSTATUS_VALID_DATA ? ERROR_SUCCESS : PDH_INVALID_DATA;
}

PDH_STATUS Library::closeQuery(PDH_HQUERY query) {
    Query* q = findQuery(query);
    if (q == nullptr) return PDH_INVALID_HANDLE;
    for (HandleEntry& entry : handles_)
        if (entry.query == q) entry = HandleEntry{};
    std::erase_if(queries_, [q](const std::unique_ptr<Query>& owned) { return owned.get() == q; });
    return ERROR_SUCCESS;
}

const Enumeration& Library::enumeration() const { return *enumeration_; }

Library& defaultLibrary() {
    static Library library;
    return library;
}

}  // namespace vantorel::pdh

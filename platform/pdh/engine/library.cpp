#include "platform/pdh/engine/library.h"

#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/compute.h"
#include "platform/pdh/engine/counter_path.h"
#include "platform/pdh/engine/formatting.h"
#include "platform/pdh/engine/library_enumeration.h"
#include "platform/pdh/engine/query.h"

namespace vantorel::pdh {
namespace {

std::uintptr_t key(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace

Library::Library(std::string procRoot, std::string sysRoot, std::shared_ptr<SystemReader> reader)
    : procRoot_(Roots::normalise(std::move(procRoot))),
      sysRoot_(Roots::normalise(std::move(sysRoot))),
      reader_(reader != nullptr ? std::move(reader) : makePosixReader()),
      enumeration_(makeEnumeration(Roots{procRoot_, sysRoot_}, reader_)) {}

Library::~Library() = default;

void* Library::nextHandle() {
    // Handles are never reused, so a stale one stays invalid for good. The low
    // bits are set so that no handle looks like an aligned pointer to anything.
    ++lastHandle_;
    return reinterpret_cast<void*>((lastHandle_ << 4) | 0x5);
}

Query* Library::findQuery(PDH_HQUERY handle) {
    if (handle == nullptr) return nullptr;
    const auto it = queries_.find(key(handle));
    return it != queries_.end() ? it->second.get() : nullptr;
}

PDH_STATUS Library::openQuery(DWORD_PTR userData, PDH_HQUERY* query) {
    if (query == nullptr) return PDH_INVALID_ARGUMENT;
    void* handle = nextHandle();
    queries_.emplace(key(handle), std::make_unique<Query>(Roots{procRoot_, sysRoot_}, *reader_,
                                                          ProcessUnits::ofThisMachine(), userData));
    *query = handle;
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
    if (parsed.hasInstance != (object->instances != InstanceKind::None)) return PDH_CSTATUS_BAD_COUNTERNAME;

    Counter& added = q->add(*def, std::move(parsed.instance), userData);
    void* handle = nextHandle();
    counters_.emplace(key(handle), CounterEntry{q, &added});
    *counter = handle;
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
    const auto it = counter != nullptr ? counters_.find(key(counter)) : counters_.end();
    if (it == counters_.end() || it->second.query == nullptr || it->second.counter == nullptr) {
        writeFailure(PDH_INVALID_HANDLE, *value);
        return PDH_INVALID_HANDLE;
    }
    if (!validFormat(format)) {
        writeFailure(PDH_INVALID_ARGUMENT, *value);
        return PDH_INVALID_ARGUMENT;
    }
    const Counter& c = *it->second.counter;
    if (type != nullptr && c.def != nullptr) *type = counterType(*c.def);
    const Computed computed = it->second.query->value(c, (format & PDH_FMT_NOCAP100) != 0);
    if (computed.cstatus != PDH_CSTATUS_VALID_DATA) {
        writeFailure(computed.cstatus, *value);
        return PDH_INVALID_DATA;
    }
    return formatValue(computed.value, format, *value) == PDH_CSTATUS_VALID_DATA ? ERROR_SUCCESS : PDH_INVALID_DATA;
}

PDH_STATUS Library::closeQuery(PDH_HQUERY query) {
    Query* q = findQuery(query);
    if (q == nullptr) return PDH_INVALID_HANDLE;
    std::erase_if(counters_, [q](const auto& entry) { return entry.second.query == q; });
    queries_.erase(key(query));
    return ERROR_SUCCESS;
}

const Enumeration& Library::enumeration() const { return *enumeration_; }

Library& defaultLibrary() {
    static Library library;
    return library;
}

}  // namespace vantorel::pdh

#include "platform/pdh/engine/library.h"

#include <mutex>

#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/compute.h"
#include "platform/pdh/engine/counter_path.h"
#include "platform/pdh/engine/formatting.h"
#include "platform/pdh/engine/handle_table.h"
#include "platform/pdh/engine/library_enumeration.h"
#include "platform/pdh/engine/query.h"

namespace vantorel::pdh {

// A query with the lock that serialises calls on it. It lives while a handle
// names it or a call on it is in flight.
struct Library::LiveQuery {
    LiveQuery(const Roots& roots, SystemReader& reader, DWORD_PTR userData) : query(roots, reader, userData) {}

    std::mutex mutex;
    Query query;
    bool closed = false;
    std::vector<void*> counterHandles;  // freed with the query: closing costs its own counters only
};

struct Library::Entry {
    std::shared_ptr<LiveQuery> live;
    Counter* counter = nullptr;  // null in a query's entry
};

class Library::Handles {
public:
    void* insert(Entry entry) {
        const std::lock_guard lock(mutex_);
        return table_.insert(std::move(entry));
    }
    Entry find(const void* handle) {
        const std::lock_guard lock(mutex_);
        const Entry* entry = table_.find(handle);
        return entry != nullptr ? *entry : Entry{};
    }
    bool erase(const void* handle) {
        const std::lock_guard lock(mutex_);
        return table_.erase(handle);
    }

private:
    std::mutex mutex_;
    GenerationTable<Entry> table_;
};

Library::Library(std::string procRoot, std::string sysRoot, std::shared_ptr<SystemReader> reader)
    : procRoot_(Roots::normalise(std::move(procRoot))),
      sysRoot_(Roots::normalise(std::move(sysRoot))),
      reader_(reader != nullptr                          ? std::move(reader)
              : procRoot_ == "/" && sysRoot_ == "/" ? makePosixReader()
                                                    : makeCapturedTreeReader(procRoot_)),
      handles_(std::make_unique<Handles>()),
      enumeration_(makeEnumeration(Roots{procRoot_, sysRoot_}, reader_)) {}

Library::~Library() = default;

Library::Entry Library::resolve(const void* handle, bool counter) const {
    Entry entry = handles_->find(handle);
    if (entry.live == nullptr || (entry.counter != nullptr) != counter) return Entry{};
    return entry;
}

PDH_STATUS Library::openQuery(DWORD_PTR userData, PDH_HQUERY* query) {
    if (query == nullptr) return PDH_INVALID_ARGUMENT;
    auto live = std::make_shared<LiveQuery>(Roots{procRoot_, sysRoot_}, *reader_, userData);
    *query = handles_->insert(Entry{std::move(live), nullptr});
    return ERROR_SUCCESS;
}

PDH_STATUS Library::addCounter(PDH_HQUERY query, const char* path, DWORD_PTR userData, PDH_HCOUNTER* counter) {
    const Entry entry = resolve(query, false);
    if (entry.live == nullptr) return PDH_INVALID_HANDLE;
    if (path == nullptr || counter == nullptr) return PDH_INVALID_ARGUMENT;
    ParsedPath parsed;
    const PDH_STATUS status = parseCounterPath(path, parsed);
    if (status != ERROR_SUCCESS) return status;
    const ObjectDef* object = findObject(parsed.object);
    if (object == nullptr) return PDH_CSTATUS_NO_OBJECT;
    const CounterDef* def = findCounter(*object, parsed.counter);
    if (def == nullptr) return PDH_CSTATUS_NO_COUNTER;
    if (parsed.hasInstance != object->hasInstances) return PDH_CSTATUS_BAD_COUNTERNAME;

    LiveQuery& live = *entry.live;
    const std::lock_guard lock(live.mutex);
    if (live.closed) return PDH_INVALID_HANDLE;
    live.counterHandles.reserve(live.counterHandles.size() + 1);
    Counter& added = live.query.add(*def, std::move(parsed.instance), userData);
    *counter = handles_->insert(Entry{entry.live, &added});
    live.counterHandles.push_back(*counter);
    return ERROR_SUCCESS;
}

PDH_STATUS Library::collect(PDH_HQUERY query) {
    const Entry entry = resolve(query, false);
    if (entry.live == nullptr) return PDH_INVALID_HANDLE;
    const std::lock_guard lock(entry.live->mutex);
    if (entry.live->closed) return PDH_INVALID_HANDLE;
    entry.live->query.collect();
    return ERROR_SUCCESS;
}

PDH_STATUS Library::formattedValue(PDH_HCOUNTER counter, DWORD format, DWORD* type, PDH_FMT_COUNTERVALUE* value) {
    if (value == nullptr) return PDH_INVALID_ARGUMENT;
    const Entry entry = resolve(counter, true);
    if (entry.live == nullptr) {
        writeFailure(PDH_INVALID_HANDLE, *value);
        return PDH_INVALID_HANDLE;
    }
    if (!validFormat(format)) {
        writeFailure(PDH_INVALID_ARGUMENT, *value);
        return PDH_INVALID_ARGUMENT;
    }
    const std::lock_guard lock(entry.live->mutex);
    if (entry.live->closed) {
        writeFailure(PDH_INVALID_HANDLE, *value);
        return PDH_INVALID_HANDLE;
    }
    const Counter& c = *entry.counter;
    if (type != nullptr && c.def != nullptr) *type = counterType(*c.def);
    const Computed computed = entry.live->query.value(c, (format & PDH_FMT_NOCAP100) != 0);
    if (computed.cstatus != PDH_CSTATUS_VALID_DATA) {
        writeFailure(computed.cstatus, *value);
        return PDH_INVALID_DATA;
    }
    return formatValue(computed.value, format, *value) == PDH_CSTATUS_VALID_DATA ? ERROR_SUCCESS : PDH_INVALID_DATA;
}

PDH_STATUS Library::rawValue(PDH_HCOUNTER counter, DWORD* type, PDH_RAW_COUNTER* value) {
    if (value == nullptr) return PDH_INVALID_ARGUMENT;
    const Entry entry = resolve(counter, true);
    if (entry.live == nullptr) {
        *value = PDH_RAW_COUNTER{PDH_INVALID_HANDLE, {}, 0, 0, 0};
        return PDH_INVALID_HANDLE;
    }
    const std::lock_guard lock(entry.live->mutex);
    if (entry.live->closed) {
        *value = PDH_RAW_COUNTER{PDH_INVALID_HANDLE, {}, 0, 0, 0};
        return PDH_INVALID_HANDLE;
    }
    const Counter& c = *entry.counter;
    if (type != nullptr && c.def != nullptr) *type = counterType(*c.def);
    *value = entry.live->query.raw(c);
    return value->CStatus == PDH_CSTATUS_VALID_DATA ? ERROR_SUCCESS : PDH_INVALID_DATA;
}

PDH_STATUS Library::closeQuery(PDH_HQUERY query) {
    const Entry entry = resolve(query, false);
    if (entry.live == nullptr || !handles_->erase(query)) return PDH_INVALID_HANDLE;
    std::vector<void*> counters;
    {
        const std::lock_guard lock(entry.live->mutex);
        entry.live->closed = true;
        counters.swap(entry.live->counterHandles);
    }
    for (void* handle : counters) handles_->erase(handle);
    return ERROR_SUCCESS;
}

const Enumeration& Library::enumeration() const { return *enumeration_; }

Library& defaultLibrary() {
    static Library library;
    return library;
}

}  // namespace vantorel::pdh

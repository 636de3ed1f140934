#include "platform/pdh/scripted/scripted_pdh.h"

#include <cstring>

namespace vantorel::pdh::scripted {

namespace {
// The query handle is the address of this tag; counter handles are numbers from
// one, so null and garbage are told apart from real ones.
char queryTag;

Script theScript;

bool isOurQuery(PDH_HQUERY query) { return query == &queryTag && theScript.queryOpen; }

std::size_t counterIndex(PDH_HCOUNTER counter) { return reinterpret_cast<std::uintptr_t>(counter); }
}  // namespace

Script& Script::instance() { return theScript; }

void Script::reset() { *this = Script{}; }

PDH_HQUERY Script::queryHandle() const { return &queryTag; }

PDH_STATUS choosePath(PDH_BROWSE_DLG_CONFIG_A& config, std::string_view path) {
    if (!config.szReturnPathBuffer || path.size() + 1 > config.cchReturnPathLength) return PDH_MORE_DATA;
    std::memcpy(config.szReturnPathBuffer, path.data(), path.size());
    config.szReturnPathBuffer[path.size()] = '\0';
    return ERROR_SUCCESS;
}

}  // namespace vantorel::pdh::scripted

using vantorel::pdh::scripted::Script;

extern "C" {

PDH_STATUS PdhOpenQueryA(LPCSTR, DWORD_PTR dwUserData, PDH_HQUERY* phQuery) {
    Script& s = Script::instance();
    ++s.calls.open;
    if (!phQuery) return PDH_INVALID_ARGUMENT;
    if (s.openStatus != ERROR_SUCCESS) return s.openStatus;
    s.queryOpen = true;
    s.openUserData = dwUserData;
    *phQuery = s.queryHandle();
    return ERROR_SUCCESS;
}

PDH_STATUS PdhAddCounterA(PDH_HQUERY hQuery, LPCSTR szFullCounterPath, DWORD_PTR dwUserData,
                          PDH_HCOUNTER* phCounter) {
    Script& s = Script::instance();
    ++s.calls.add;
    if (!vantorel::pdh::scripted::isOurQuery(hQuery)) return PDH_INVALID_HANDLE;
    if (!szFullCounterPath || !phCounter) return PDH_INVALID_ARGUMENT;
    if (s.add) {
        if (const PDH_STATUS status = s.add(szFullCounterPath); status != ERROR_SUCCESS) return status;
    }
    const auto handle = reinterpret_cast<PDH_HCOUNTER>(static_cast<std::uintptr_t>(s.counters.size() + 1));
    s.counters.push_back({szFullCounterPath, dwUserData, handle});
    *phCounter = handle;
    return ERROR_SUCCESS;
}

PDH_STATUS PdhCollectQueryData(PDH_HQUERY hQuery) {
    Script& s = Script::instance();
    ++s.calls.collect;
    if (s.onCollect) s.onCollect();
    if (!vantorel::pdh::scripted::isOurQuery(hQuery)) return PDH_INVALID_HANDLE;
    if (!s.nextCollects.empty()) {
        const PDH_STATUS status = s.nextCollects.front();
        s.nextCollects.pop_front();
        return status;
    }
    return s.collectStatus;
}

PDH_STATUS PdhGetFormattedCounterValue(PDH_HCOUNTER hCounter, DWORD dwFormat, LPDWORD lpdwType,
                                       PPDH_FMT_COUNTERVALUE pValue) {
    Script& s = Script::instance();
    ++s.calls.read;
    const std::size_t number = vantorel::pdh::scripted::counterIndex(hCounter);
    if (number == 0 || number > s.counters.size()) return PDH_INVALID_HANDLE;
    if (!pValue || dwFormat != PDH_FMT_LONG) return PDH_INVALID_ARGUMENT;
    if (lpdwType) *lpdwType = 0;
    vantorel::pdh::scripted::ReadResult result;
    if (s.read) result = s.read(number - 1, s.counters[number - 1]);
    if (result.writesValue) {
        pValue->CStatus = result.cStatus;
        pValue->longValue = result.value;
    }
    return result.status;
}

PDH_STATUS PdhGetRawCounterValue(PDH_HCOUNTER hCounter, LPDWORD lpdwType, PPDH_RAW_COUNTER pValue) {
    Script& s = Script::instance();
    ++s.calls.rawRead;
    const std::size_t number = vantorel::pdh::scripted::counterIndex(hCounter);
    if (number == 0 || number > s.counters.size()) return PDH_INVALID_HANDLE;
    if (!pValue) return PDH_INVALID_ARGUMENT;
    if (lpdwType) *lpdwType = 0;
    vantorel::pdh::scripted::RawResult result;
    if (s.rawRead) result = s.rawRead(number - 1, s.counters[number - 1]);
    *pValue = result.value;
    return result.status;
}

PDH_STATUS PdhCloseQuery(PDH_HQUERY hQuery) {
    Script& s = Script::instance();
    ++s.calls.close;
    if (!vantorel::pdh::scripted::isOurQuery(hQuery)) return PDH_INVALID_HANDLE;
    s.queryOpen = false;
    return ERROR_SUCCESS;
}

PDH_STATUS PdhBrowseCountersA(PPDH_BROWSE_DLG_CONFIG_A pBrowseDlgData) {
    Script& s = Script::instance();
    ++s.calls.browse;
    if (!pBrowseDlgData) return PDH_INVALID_ARGUMENT;
    s.lastBrowseConfig = *pBrowseDlgData;
    if (!s.browse) return PDH_DIALOG_CANCELLED;
    return s.browse(*pBrowseDlgData);
}

}  // extern "C"

// The C functions of pdh/pdh.h over the process-wide library. No exception may
// cross into a C caller: a failed allocation becomes a status.
#include <new>

#include "pdh/pdh.h"
#include "platform/pdh/engine/library.h"

using vantorel::pdh::defaultLibrary;

extern "C" {

PDH_STATUS PdhOpenQueryA(LPCSTR szDataSource, DWORD_PTR dwUserData, PDH_HQUERY* phQuery) {
    // Only live data: there are no log files to replay.
    if (szDataSource != nullptr) return PDH_INVALID_ARGUMENT;
    try {
        return defaultLibrary().openQuery(dwUserData, phQuery);
    } catch (const std::bad_alloc&) {
        return PDH_INVALID_DATA;
    }
}

PDH_STATUS PdhAddCounterA(PDH_HQUERY hQuery, LPCSTR szFullCounterPath, DWORD_PTR dwUserData, PDH_HCOUNTER* phCounter) {
    try {
        return defaultLibrary().addCounter(hQuery, szFullCounterPath, dwUserData, phCounter);
    } catch (const std::bad_alloc&) {
        return PDH_INVALID_DATA;
    }
}

PDH_STATUS PdhCollectQueryData(PDH_HQUERY hQuery) {
    try {
        return defaultLibrary().collect(hQuery);
    } catch (const std::bad_alloc&) {
        return PDH_INVALID_DATA;
    }
}

PDH_STATUS PdhGetFormattedCounterValue(PDH_HCOUNTER hCounter, DWORD dwFormat, LPDWORD lpdwType,
                                       PPDH_FMT_COUNTERVALUE pValue) {
    try {
        return defaultLibrary().formattedValue(hCounter, dwFormat, lpdwType, pValue);
    } catch (const std::bad_alloc&) {
        return PDH_INVALID_DATA;
    }
}

PDH_STATUS PdhGetRawCounterValue(PDH_HCOUNTER hCounter, LPDWORD lpdwType, PPDH_RAW_COUNTER pValue) {
    try {
        return defaultLibrary().rawValue(hCounter, lpdwType, pValue);
    } catch (const std::bad_alloc&) {
        return PDH_INVALID_DATA;
    }
}

PDH_STATUS PdhCloseQuery(PDH_HQUERY hQuery) {
    try {
        return defaultLibrary().closeQuery(hQuery);
    } catch (const std::bad_alloc&) {
        return PDH_INVALID_DATA;
    }
}

}  // extern "C"

// The performance-data interface the monitor calls: the library's types, its
// status codes and formats, and its functions (8-bit forms).
#pragma once

#include <cstdint>

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using LONGLONG = std::int64_t;
using DWORD_PTR = std::uintptr_t;
using LPDWORD = DWORD*;
using LPSTR = char*;
using LPCSTR = const char*;
using HWND = void*;

// Compared with zero only; the values are the documented ones.
using PDH_STATUS = DWORD;
using PDH_HQUERY = void*;
using PDH_HCOUNTER = void*;

inline constexpr PDH_STATUS ERROR_SUCCESS = 0x00000000;
inline constexpr PDH_STATUS PDH_CSTATUS_VALID_DATA = 0x00000000;
inline constexpr PDH_STATUS PDH_CSTATUS_NO_INSTANCE = 0x800007D1;
inline constexpr PDH_STATUS PDH_MORE_DATA = 0x800007D2;
inline constexpr PDH_STATUS PDH_NO_DATA = 0x800007D5;
inline constexpr PDH_STATUS PDH_DIALOG_CANCELLED = 0x800007D9;
inline constexpr PDH_STATUS PDH_CSTATUS_NO_OBJECT = 0xC0000BB8;
inline constexpr PDH_STATUS PDH_CSTATUS_NO_COUNTER = 0xC0000BB9;
inline constexpr PDH_STATUS PDH_CSTATUS_INVALID_DATA = 0xC0000BBA;
inline constexpr PDH_STATUS PDH_INVALID_HANDLE = 0xC0000BBC;
inline constexpr PDH_STATUS PDH_INVALID_ARGUMENT = 0xC0000BBD;
inline constexpr PDH_STATUS PDH_CSTATUS_NO_COUNTERNAME = 0xC0000BBF;
inline constexpr PDH_STATUS PDH_CSTATUS_BAD_COUNTERNAME = 0xC0000BC0;
inline constexpr PDH_STATUS PDH_INVALID_DATA = 0xC0000BC6;

inline constexpr DWORD PDH_FMT_LONG = 0x00000100;
inline constexpr DWORD PDH_FMT_DOUBLE = 0x00000200;
inline constexpr DWORD PDH_FMT_LARGE = 0x00000400;
inline constexpr DWORD PDH_FMT_NOCAP100 = 0x00008000;

inline constexpr DWORD PERF_DETAIL_NOVICE = 100;
inline constexpr DWORD PERF_DETAIL_ADVANCED = 200;
inline constexpr DWORD PERF_DETAIL_EXPERT = 300;
inline constexpr DWORD PERF_DETAIL_WIZARD = 400;

struct PDH_FMT_COUNTERVALUE {
    DWORD CStatus;
    union {
        LONG longValue;
        double doubleValue;
        LONGLONG largeValue;
        LPCSTR AnsiStringValue;
    };
};
using PPDH_FMT_COUNTERVALUE = PDH_FMT_COUNTERVALUE*;

// 100-nanosecond ticks in two halves.
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

// A counter's raw value at the last collect, for callers that keep their own
// history (an exporter whose scraper computes rates). FirstValue / SecondValue
// is the value in the counter's base unit (bytes, seconds, a 0..1 ratio, a
// count): for a rate, the cumulative count since its source began counting (a
// share of time counts busy seconds); for a share of processor ticks, the
// seconds spent in those states; for a gauge or a ratio, the value now; for an
// elapsed time, seconds since the start. SecondValue is never 0. TimeStamp is the
// collect's time in 100-ns ticks since boot (CLOCK_BOOTTIME); MultiCount is the
// number of instances summed into a _Total, 1 otherwise.
struct PDH_RAW_COUNTER {
    DWORD CStatus;
    FILETIME TimeStamp;
    LONGLONG FirstValue;
    LONGLONG SecondValue;
    DWORD MultiCount;
};
using PPDH_RAW_COUNTER = PDH_RAW_COUNTER*;

using CounterPathCallBack = PDH_STATUS (*)(DWORD_PTR);

struct PDH_BROWSE_DLG_CONFIG_A {
    DWORD bIncludeInstanceIndex : 1;
    DWORD bSingleCounterPerAdd : 1;
    DWORD bSingleCounterPerDialog : 1;
    DWORD bLocalCountersOnly : 1;
    DWORD bWildCardInstances : 1;
    DWORD bHideDetailBox : 1;
    DWORD bInitializePath : 1;
    DWORD bDisableMachineSelection : 1;
    DWORD bIncludeCostlyObjects : 1;
    DWORD bShowObjectBrowser : 1;
    DWORD bReserved : 22;
    HWND hWndOwner;
    LPSTR szDataSource;
    LPSTR szReturnPathBuffer;
    DWORD cchReturnPathLength;
    CounterPathCallBack pCallBack;
    DWORD_PTR dwCallBackArg;
    PDH_STATUS CallBackStatus;
    DWORD dwDefaultDetailLevel;
    LPSTR szDialogBoxCaption;
};
using PPDH_BROWSE_DLG_CONFIG_A = PDH_BROWSE_DLG_CONFIG_A*;

// Threads: every function may be called from any thread. Calls on different
// queries run side by side; calls on one query and on its counters are
// serialised by the library. Once PdhCloseQuery returns, the query's handle and
// its counters' handles are refused (PDH_INVALID_HANDLE) on every thread, and a
// closed handle's value is never given to a later query or counter.
// PdhBrowseCountersA runs a dialog: call it from the GUI thread only.
extern "C" {
PDH_STATUS PdhOpenQueryA(LPCSTR szDataSource, DWORD_PTR dwUserData, PDH_HQUERY* phQuery);
PDH_STATUS PdhAddCounterA(PDH_HQUERY hQuery, LPCSTR szFullCounterPath, DWORD_PTR dwUserData,
                          PDH_HCOUNTER* phCounter);
PDH_STATUS PdhCollectQueryData(PDH_HQUERY hQuery);
PDH_STATUS PdhGetFormattedCounterValue(PDH_HCOUNTER hCounter, DWORD dwFormat, LPDWORD lpdwType,
                                       PPDH_FMT_COUNTERVALUE pValue);
// As the formatted read: a CStatus that is not good returns PDH_INVALID_DATA,
// and a failed read writes zeros beside the failing CStatus.
PDH_STATUS PdhGetRawCounterValue(PDH_HCOUNTER hCounter, LPDWORD lpdwType, PPDH_RAW_COUNTER pValue);
PDH_STATUS PdhCloseQuery(PDH_HQUERY hQuery);
PDH_STATUS PdhBrowseCountersA(PPDH_BROWSE_DLG_CONFIG_A pBrowseDlgData);
}

// A library over one captured machine of tests/fixtures, with short ways to add
// a counter and read it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/pdh/engine/library.h"
#include "platform/pdh/enumeration.h"
#include "tree_reader.h"

namespace vantorel::pdh::testing {

inline std::string fixture(const std::string& name) { return std::string(VANTOREL_FIXTURES) + "/" + name + "/"; }

class Machine {
public:
    Machine(const std::string& procRoot, const std::string& sysRoot) : lib_(procRoot, sysRoot, reader) {
        EXPECT_EQ(lib_.openQuery(0, &query_), ERROR_SUCCESS);
    }

    std::vector<std::string> instances(const std::string& object) { return lib_.enumeration().instances(object); }

    PDH_HCOUNTER add(const std::string& object, const std::string& instance, const std::string& counter) {
        const std::string path = makeCounterPath(object, instance, counter, true);
        PDH_HCOUNTER c = nullptr;
        EXPECT_EQ(lib_.addCounter(query_, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        return c;
    }
    void collect() { ASSERT_EQ(lib_.collect(query_), ERROR_SUCCESS); }

    PDH_FMT_COUNTERVALUE value(PDH_HCOUNTER c, DWORD format = PDH_FMT_DOUBLE) {
        PDH_FMT_COUNTERVALUE v{};
        lib_.formattedValue(c, format, nullptr, &v);
        return v;
    }
    double d(PDH_HCOUNTER c) {
        const PDH_FMT_COUNTERVALUE v = value(c);
        EXPECT_EQ(v.CStatus, PDH_CSTATUS_VALID_DATA);
        return v.doubleValue;
    }
    LONG l(PDH_HCOUNTER c) {
        const PDH_FMT_COUNTERVALUE v = value(c, PDH_FMT_LONG);
        EXPECT_EQ(v.CStatus, PDH_CSTATUS_VALID_DATA);
        return v.longValue;
    }
    PDH_STATUS status(PDH_HCOUNTER c) { return value(c).CStatus; }

    std::shared_ptr<TreeReader> reader = std::make_shared<TreeReader>();

private:
    Library lib_;
    PDH_HQUERY query_ = nullptr;
};

}  // namespace vantorel::pdh::testing

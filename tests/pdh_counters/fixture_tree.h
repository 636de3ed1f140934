// The library over captured or hand-made trees of tests/fixtures: "/fx/..."
// is served from the tree of the moment; the clock and statvfs are the test's.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "platform/pdh/engine/library.h"
#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/enumeration.h"
#include "tests/support/fixture_tree_reader.h"

namespace vantorel::pdh::testing {

// A tree of tests/fixtures by its name.
using TreeReader = FixtureTreeReader;
inline std::string fixtureTree(const std::string& name) { return std::string(VANTOREL_FIXTURES) + "/" + name + "/"; }

// A query over one tree; `moment` switches tree and clock and collects.
class TreeQuery {
public:
    explicit TreeQuery(std::string tree, double now) {
        reader->tree = fixtureTree(tree);
        reader->now = now;
        EXPECT_EQ(lib.openQuery(0, &query), ERROR_SUCCESS);
    }

    PDH_HCOUNTER add(const std::string& object, const std::string& instance, const std::string& counter) {
        const bool instances = !instance.empty();
        const std::string path = makeCounterPath(object, instance, counter, instances);
        PDH_HCOUNTER c = nullptr;
        EXPECT_EQ(lib.addCounter(query, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        return c;
    }
    void collect() { ASSERT_EQ(lib.collect(query), ERROR_SUCCESS); }
    void moment(std::string tree, double now) {
        reader->tree = fixtureTree(tree);
        reader->now = now;
        collect();
    }
    PDH_FMT_COUNTERVALUE read(PDH_HCOUNTER c, DWORD format = PDH_FMT_DOUBLE) {
        PDH_FMT_COUNTERVALUE v{};
        lib.formattedValue(c, format, nullptr, &v);
        return v;
    }
    double value(PDH_HCOUNTER c) {
        const PDH_FMT_COUNTERVALUE v = read(c);
        EXPECT_EQ(v.CStatus, PDH_CSTATUS_VALID_DATA);
        return v.doubleValue;
    }
    PDH_STATUS status(PDH_HCOUNTER c) { return read(c).CStatus; }
    std::vector<std::string> instances(const std::string& object) { return lib.enumeration().instances(object); }

    std::shared_ptr<TreeReader> reader = std::make_shared<TreeReader>();
    Library lib{"/fx/", "/fx/", reader};
    PDH_HQUERY query = nullptr;
};

}  // namespace vantorel::pdh::testing

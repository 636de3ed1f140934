// The exporter in-process: its names and types from the catalogue, its choice
// of series, its samples over a captured tree, OpenMetrics and basic auth.
#include <gtest/gtest.h>

#include <prometheus/text_serializer.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "cli/serve/basic_auth.h"
#include "cli/serve/catalogue_collector.h"
#include "cli/serve/metric_naming.h"
#include "cli/serve/openmetrics.h"
#include "platform/pdh/engine/library.h"

namespace vantorel::cli::serve {
namespace {

std::map<std::string, FamilySpec> familiesByName() {
    std::map<std::string, FamilySpec> out;
    for (FamilySpec& f : exportedFamilies()) out.emplace(f.name, std::move(f));
    return out;
}

TEST(Naming, IdiomaticNamesTypesAndLabelsFromTheCatalogue) {
    const auto families = familiesByName();
    const struct {
        const char* name;
        bool isCounter;
        const char* label;
    } expected[] = {
        {"vantorel_network_interface_received_bytes_total", true, "interface"},
        {"vantorel_network_interface_packets_received_total", true, "interface"},
        {"vantorel_processor_user_time_seconds_total", true, "cpu"},
        {"vantorel_physical_disk_disk_time_seconds_total", true, "device"},
        {"vantorel_physical_disk_disk_read_bytes_total", true, "device"},
        {"vantorel_memory_available_bytes", false, ""},
        {"vantorel_memory_page_faults_total", true, ""},
        {"vantorel_logical_disk_free_bytes", false, "mountpoint"},
        {"vantorel_logical_disk_free_space_ratio", false, "mountpoint"},
        {"vantorel_paging_file_usage_ratio", false, "swap"},
        {"vantorel_system_up_time_seconds", false, ""},
        {"vantorel_process_threads", false, "process"},  // "_count" is for histograms
        {"vantorel_process_user_time_seconds_total", true, "process"},
    };
    for (const auto& e : expected) {
        const auto found = families.find(e.name);
        ASSERT_NE(found, families.end()) << e.name;
        EXPECT_EQ(found->second.isCounter, e.isCounter) << e.name;
        EXPECT_EQ(found->second.label, e.label) << e.name;
        EXPECT_EQ(found->second.help, found->second.counter->description) << e.name;
    }
    // The same series in another unit, and sums PromQL makes itself, are not repeated.
    for (const char* repeated : {"vantorel_memory_available_kbytes_bytes", "vantorel_memory_available_mbytes_bytes",
                                 "vantorel_network_interface_total_bytes_total", "vantorel_memory_pages_total",
                                 "vantorel_physical_disk_disk_transfers_total"})
        EXPECT_EQ(families.count(repeated), 0u) << repeated;
}

TEST(Naming, EveryNameIsValidAndCountersEndInTotal) {
    const std::regex valid("vantorel_[a-z0-9]+(_[a-z0-9]+)*");
    for (const FamilySpec& f : exportedFamilies()) {
        EXPECT_TRUE(std::regex_match(f.name, valid)) << f.name;
        EXPECT_EQ(f.isCounter, f.name.ends_with("_total")) << f.name;
        EXPECT_NE(f.label, "instance") << f.name;  // Prometheus's own target label
    }
    EXPECT_EQ(snakeCase("PhysicalDisk"), "physical_disk");
    EXPECT_EQ(snakeCase("% Disk Time"), "disk_time");
    EXPECT_EQ(snakeCase("Avg. Disk Queue Length"), "avg_disk_queue_length");
}

struct Scrape {
    std::map<std::string, std::map<std::string, double>> samples;  // family -> label value -> value
    std::string text;
};

Scrape scrapeFixture(std::vector<std::string> includes = {}, std::vector<std::string> excludes = {}) {
    const std::string tree = std::string(VANTOREL_FIXTURES) + "/vm-t0";
    pdh::Library library(tree, tree);
    LibraryAccess access(library);
    std::vector<CounterPattern> in;
    std::vector<CounterPattern> out;
    for (const auto& t : includes) in.push_back(*parseCounterPattern(t));
    for (const auto& t : excludes) out.push_back(*parseCounterPattern(t));
    CatalogueCollector collector(access, Selection(in, out));
    const auto families = collector.Collect();
    Scrape s;
    s.text = prometheus::TextSerializer().Serialize(families);
    for (const auto& f : families)
        for (const auto& m : f.metric)
            s.samples[f.name][m.label.empty() ? "" : m.label[0].value] =
                f.type == prometheus::MetricType::Counter ? m.counter.value : m.gauge.value;
    return s;
}

TEST(Collector, FixtureSamplesAreRawValuesInBaseUnits) {
    const Scrape s = scrapeFixture();
    // /proc/net/dev of vm-t0: lo received 3267 bytes, eth0 77920112.
    EXPECT_EQ(s.samples.at("vantorel_network_interface_received_bytes_total").at("lo"), 3267);
    EXPECT_EQ(s.samples.at("vantorel_network_interface_received_bytes_total").at("eth0"), 77920112);
    // /proc/stat cpu1: user 1437 ticks at USER_HZ 100.
    EXPECT_DOUBLE_EQ(s.samples.at("vantorel_processor_user_time_seconds_total").at("1"), 14.37);
    // A _Total that sums the others is PromQL's sum(); Process is not exported unasked.
    EXPECT_EQ(s.samples.at("vantorel_processor_user_time_seconds_total").count("_Total"), 0u);
    EXPECT_EQ(s.samples.at("vantorel_paging_file_usage_ratio").count("_Total"), 1u);  // the only instance
    for (const auto& [name, samples] : s.samples) EXPECT_FALSE(name.starts_with("vantorel_process_")) << name;
    // A value that cannot be read is absent, never a 0: no link speed in the fixture.
    EXPECT_EQ(s.samples.count("vantorel_network_interface_current_bandwidth_bits_per_second"), 0u);
    EXPECT_GT(s.samples.at("vantorel_scrape_errors_total").at(""), 0);
}

TEST(Collector, IncludeOptsInAndExcludeWins) {
    const Scrape s = scrapeFixture({"\\Process(*:4278)\\*", "\\Processor(_Total)\\% User Time"},
                                   {"\\Network Interface(ifb*)\\*", "\\Memory\\*"});
    ASSERT_EQ(s.samples.count("vantorel_process_user_time_seconds_total"), 1u);
    const auto& processes = s.samples.at("vantorel_process_user_time_seconds_total");
    ASSERT_EQ(processes.size(), 1u);
    EXPECT_TRUE(processes.begin()->first.ends_with(":4278")) << processes.begin()->first;
    EXPECT_EQ(s.samples.at("vantorel_processor_user_time_seconds_total").count("_Total"), 1u);
    EXPECT_EQ(s.samples.at("vantorel_processor_idle_time_seconds_total").count("_Total"), 0u);
    EXPECT_EQ(s.samples.at("vantorel_network_interface_received_bytes_total").count("ifb0"), 0u);
    for (const auto& [name, samples] : s.samples) EXPECT_FALSE(name.starts_with("vantorel_memory_")) << name;
}

// promtool's own lint over a scrape of the captured tree.
TEST(Collector, PromtoolAcceptsAFixtureScrape) {
    const Scrape s = scrapeFixture({"\\Process(*)\\*"});
    FILE* promtool = ::popen("promtool check metrics > /dev/null 2>&1", "w");
    ASSERT_NE(promtool, nullptr);
    std::fwrite(s.text.data(), 1, s.text.size(), promtool);
    const int status = ::pclose(promtool);
    EXPECT_EQ(status, 0) << s.text;
}

TEST(OpenMetrics, CountersLoseTheirTotalInTypeLinesAndTextIsEscaped) {
    prometheus::MetricFamily counter{"a_bytes_total", "Bytes \"in\"\\out\nnext.", prometheus::MetricType::Counter, {}};
    prometheus::ClientMetric m;
    m.label.push_back({"interface", "we\"ird\\\n"});
    m.counter.value = 5;
    counter.metric.push_back(m);
    prometheus::MetricFamily gauge{"b_ratio", "A ratio.", prometheus::MetricType::Gauge, {}};
    prometheus::ClientMetric g;
    g.gauge.value = 0.25;
    gauge.metric.push_back(g);
    EXPECT_EQ(toOpenMetrics({counter, gauge}),
              "# TYPE a_bytes counter\n"
              "# HELP a_bytes Bytes \\\"in\\\"\\\\out\\nnext.\n"
              "a_bytes_total{interface=\"we\\\"ird\\\\\\n\"} 5\n"
              "# TYPE b_ratio gauge\n# HELP b_ratio A ratio.\nb_ratio 0.25\n# EOF\n");
    const struct {
        const char* accept;
        bool openMetrics;
    } cases[] = {
        {"application/openmetrics-text;version=1.0.0,text/plain;version=0.0.4;q=0.5,*/*;q=0.1", true},
        {"text/plain;version=0.0.4", false},
        {"text/plain, application/openmetrics-text; q=0", false},
        {"*/*", false},
    };
    for (const auto& c : cases) EXPECT_EQ(acceptsOpenMetrics(c.accept), c.openMetrics) << c.accept;
}

TEST(BasicAuth, OnlyTheFilesCredentialsPass) {
    EXPECT_TRUE(authorizes("Basic dXNlcjpzM2NyZXQ=", "user:s3cret"));
    for (const char* header : {"Basic dXNlcjpzM2NyZXU=", "Basic dXNlcjpzM2NyZX", "Bearer dXNlcjpzM2NyZXQ=",
                               "Basic !!!!", ""})
        EXPECT_FALSE(authorizes(header, "user:s3cret")) << header;
    EXPECT_FALSE(authorizes(nullptr, "user:s3cret"));
    std::string error;
    EXPECT_FALSE(loadCredentials("/nonexistent/credentials", error));
    EXPECT_NE(error.find("/nonexistent/credentials"), std::string::npos);
}

}  // namespace
}  // namespace vantorel::cli::serve

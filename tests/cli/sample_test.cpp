// `sample` over captured trees on a made-up clock. Expected numbers are worked
// out from the fixture text, quoted beside them.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/exit_codes.h"
#include "cli/sample_command.h"
#include "captured_output.h"
#include "fake_pacer.h"
#include "platform/pdh/engine/library.h"
#include "platform/pdh/engine/system_reader.h"

namespace vantorel::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kFixtures = VANTOREL_FIXTURES;
const std::string kCpu = "\\Processor(_Total)\\% Processor Time";
const std::string kAvailable = "\\Memory\\Available MBytes";
const std::string kOddProcess = "\\Process(w (x) y:\\\nz):5915)\\ID Process";  // comm holds "\" and a newline
const std::string kBash = "\\Process(bash:4278)\\Working Set";

const std::regex kTime(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)");

using Result = testing::Captured;
using testing::lines;

Result sample(const std::string& tree, SampleOptions options, testing::FakePacer& pacer) {
    pdh::Library library(tree, tree);
    std::ostringstream out;
    std::ostringstream err;
    Result r;
    r.code = sampleCounters(library, options, pacer, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::vector<std::string> split(const std::string& row) {
    std::vector<std::string> out{""};
    for (const char c : row) {
        if (c == ',') out.emplace_back();
        else out.back().push_back(c);
    }
    return out;
}

TEST(SampleCsv, HeaderQuotesOddPathsAndRowsCarryTimeAndValues) {
    testing::FakePacer pacer;
    SampleOptions options;
    options.paths = {kCpu, kAvailable, kOddProcess};
    options.samples = 2;
    const Result r = sample(kFixtures + "/vm-t0", options, pacer);
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.err, "");

    const std::string header = "time," + kCpu + "," + kAvailable + ",\"\\Process(w (x) y:\\\nz):5915)\\ID Process\"\n";
    ASSERT_EQ(r.out.substr(0, header.size()), header);
    const auto rows = lines(r.out.substr(header.size()));
    ASSERT_EQ(rows.size(), 2U) << r.out;
    // cpu 2248 0 2174 87381 1066 0 45 15: busy 4482 of 92929 ticks since boot;
    // MemAvailable 24356368 kB; then the same tree again: no tick moved, 0 % busy.
    const std::vector<std::vector<std::string>> values = {{"4.823", "23785.516", "5915"}, {"0", "23785.516", "5915"}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto fields = split(rows[i]);
        ASSERT_EQ(fields.size(), 4U) << rows[i];
        EXPECT_TRUE(std::regex_match(fields[0], kTime)) << fields[0];
        EXPECT_EQ(std::vector<std::string>(fields.begin() + 1, fields.end()), values[i]) << rows[i];
    }
    EXPECT_EQ(pacer.deadlines, (std::vector<Pacer::Clock::duration>{0s, 1s}));
}

TEST(SampleTable, ColumnsLineUpUnderTheirPaths) {
    testing::FakePacer pacer;
    SampleOptions options;
    options.paths = {kCpu, kOddProcess, kAvailable};
    options.samples = 2;
    options.format = OutputFormat::Table;
    const Result r = sample(kFixtures + "/vm-t0", options, pacer);
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const auto all = lines(r.out);
    ASSERT_EQ(all.size(), 3U) << r.out;  // the newline in the name is shown, not written
    const std::string& head = all[0];
    EXPECT_EQ(head.rfind("time ", 0), 0U);
    const std::size_t cpuEnd = head.find(kCpu) + kCpu.size();
    const std::string oddShown = "\\Process(w (x) y:\\?z):5915)\\ID Process";
    const std::size_t oddEnd = head.find(oddShown) + oddShown.size();
    ASSERT_NE(head.find(oddShown), std::string::npos) << head;
    for (std::size_t i = 1; i < all.size(); ++i) {
        EXPECT_EQ(all[i].size(), head.size()) << all[i];
        EXPECT_TRUE(std::regex_search(all[i].substr(0, 29), kTime)) << all[i];
        EXPECT_EQ(all[i].substr(cpuEnd - 5, 5), i == 1 ? "4.823" : "    0") << all[i];
        EXPECT_EQ(all[i].substr(oddEnd - 5, 5), " 5915") << all[i];
        EXPECT_EQ(all[i].substr(all[i].size() - 9), "23785.516") << all[i];
    }
}

// The live reader, except that once `gone` is set every file under it fails as
// the kernel fails a dead process's /proc files, open ones included: ESRCH.
class VanishingReader final : public pdh::SystemReader {
public:
    std::string gone;

    std::unique_ptr<pdh::OpenFile> open(const std::string& path, int& error) override {
        if (isGone(path)) return error = ENOENT, nullptr;
        std::unique_ptr<pdh::OpenFile> inner = posix_->open(path, error);
        if (inner == nullptr) return nullptr;
        return std::make_unique<File>(*this, path, std::move(inner));
    }
    int readFile(const std::string& path, std::string& buffer) override {
        if (isGone(path)) return buffer.clear(), ENOENT;
        return posix_->readFile(path, buffer);
    }
    int listDirectory(const std::string& path, std::vector<std::string>& names) override {
        const int error = posix_->listDirectory(path, names);
        std::erase_if(names, [&](const std::string& name) { return isGone(path + "/" + name); });
        return error;
    }
    int fileSystemStats(const std::string& path, pdh::FileSystemStats& out) override {
        return posix_->fileSystemStats(path, out);
    }
    double bootSeconds() override { return posix_->bootSeconds(); }

private:
    class File final : public pdh::OpenFile {
    public:
        File(VanishingReader& owner, std::string path, std::unique_ptr<pdh::OpenFile> inner)
            : owner_(owner), path_(std::move(path)), inner_(std::move(inner)) {}
        int read(std::string& buffer) override {
            if (owner_.isGone(path_)) return buffer.clear(), ESRCH;
            return inner_->read(buffer);
        }

    private:
        VanishingReader& owner_;
        std::string path_;
        std::unique_ptr<pdh::OpenFile> inner_;
    };

    bool isGone(const std::string& path) const {
        return !gone.empty() && (path == gone || path.starts_with(gone + "/"));
    }

    std::shared_ptr<pdh::SystemReader> posix_ = pdh::makePosixReader();
};

// A copy of vm-t0 that a test moves on to vm-t1 between samples.
class ScratchTree {
public:
    ScratchTree() : root_(fs::temp_directory_path() / ("vantorel-cli-" + std::to_string(::getpid()))) {
        fs::remove_all(root_);
        fs::copy(kFixtures + "/vm-t0", root_, fs::copy_options::recursive);
    }
    ~ScratchTree() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    ScratchTree(const ScratchTree&) = delete;
    ScratchTree& operator=(const ScratchTree&) = delete;

    std::string path() const { return root_.string(); }
    void advance() const {
        fs::copy(kFixtures + "/vm-t1", root_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }

private:
    fs::path root_;
};

TEST(SampleCsv, AVanishedInstanceLeavesEmptyFieldsAndSamplingGoesOn) {
    const ScratchTree tree;
    const auto reader = std::make_shared<VanishingReader>();
    testing::FakePacer pacer;
    pacer.onWait = [&](std::size_t call) {
        if (call == 1) {
            tree.advance();
            reader->gone = tree.path() + "/proc/4278";  // the shell exits
        }
        return true;
    };
    SampleOptions options;
    options.paths = {kCpu, kBash};
    options.samples = 3;
    pdh::Library library(tree.path(), tree.path(), reader);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(sampleCounters(library, options, pacer, out, err), kExitOk) << err.str();

    const auto rows = lines(out.str());
    ASSERT_EQ(rows.size(), 4U) << out.str();
    const auto first = split(rows[1]);
    ASSERT_EQ(first.size(), 3U);
    EXPECT_FALSE(first[2].empty()) << rows[1];
    // vm-t1 cpu 2255 0 2191 87800 1066 0 45 15: busy 24 of 443 ticks since vm-t0.
    EXPECT_EQ(split(rows[2]), (std::vector<std::string>{split(rows[2])[0], "5.418", ""})) << rows[2];
    EXPECT_EQ(split(rows[3]), (std::vector<std::string>{split(rows[3])[0], "0", ""})) << rows[3];

    const auto complaints = lines(err.str());
    ASSERT_EQ(complaints.size(), 2U) << err.str();
    for (std::size_t i = 0; i < complaints.size(); ++i) {
        EXPECT_NE(complaints[i].find(split(rows[i + 2])[0]), std::string::npos) << complaints[i];
        EXPECT_NE(complaints[i].find(kBash + ": PDH_CSTATUS_NO_INSTANCE"), std::string::npos) << complaints[i];
    }
}

TEST(SampleCsv, BadPathsAreAllNamedBeforeAnySample) {
    testing::FakePacer pacer;
    SampleOptions options;
    options.paths = {kCpu,
                     "\\Nope\\Anything",
                     "\\Memory(x)\\Free Bytes",
                     "\\Processor(_Total)\\Nope",
                     "",
                     std::string("\\Memory\\Free Bytes\0(x)", 22)};
    const Result r = sample(kFixtures + "/vm-t0", options, pacer);
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(pacer.deadlines.empty());
    const auto complaints = lines(r.err);
    const std::vector<std::string> expected = {
        "\"\\Nope\\Anything\": PDH_CSTATUS_NO_OBJECT (The object is unknown.)",
        "\"\\Memory(x)\\Free Bytes\": PDH_CSTATUS_BAD_COUNTERNAME (",
        "\"\\Processor(_Total)\\Nope\": PDH_CSTATUS_NO_COUNTER (",
        "\"\": PDH_CSTATUS_NO_COUNTERNAME (",
        "\"\\Memory\\Free Bytes?(x)\": PDH_CSTATUS_BAD_COUNTERNAME (",
    };
    ASSERT_EQ(complaints.size(), expected.size()) << r.err;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NE(complaints[i].find("bad counter path " + expected[i]), std::string::npos) << complaints[i];
}

TEST(SampleCsv, AStopEndsAfterTheLastWholeRow) {
    testing::FakePacer pacer;
    pacer.onWait = [](std::size_t call) { return call < 2; };
    SampleOptions options;
    options.paths = {kCpu, kAvailable};  // no --samples: until stopped
    const Result r = sample(kFixtures + "/vm-t0", options, pacer);
    EXPECT_EQ(r.code, kExitOk) << r.err;
    const auto all = lines(r.out);
    ASSERT_EQ(all.size(), 3U) << r.out;
    EXPECT_EQ(r.out.back(), '\n');
    for (std::size_t i = 1; i < all.size(); ++i) EXPECT_EQ(split(all[i]).size(), 3U) << all[i];
}

TEST(SampleSchedule, KeepsToTheGridAndSkipsPointsAlreadyMissed) {
    testing::FakePacer pacer;
    // Each collect takes 300 ms; the third one stalls for 2.5 s more.
    pacer.workAfter = [](std::size_t call) -> Pacer::Clock::duration { return call == 2 ? 2800ms : 300ms; };
    SampleOptions options;
    options.paths = {kAvailable};
    options.samples = 5;
    options.interval = 1s;
    const Result r = sample(kFixtures + "/vm-t0", options, pacer);
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(lines(r.out).size(), 6U);
    EXPECT_EQ(pacer.deadlines, (std::vector<Pacer::Clock::duration>{0s, 1s, 2s, 5s, 6s}));
}

// Accepts `room` bytes, then fails as a full disk or a closed pipe does.
class FailingBuffer final : public std::streambuf {
public:
    explicit FailingBuffer(std::size_t room) : room_(room) {}

protected:
    int_type overflow(int_type c) override {
        if (room_ == 0 || traits_type::eq_int_type(c, traits_type::eof())) return traits_type::eof();
        --room_;
        return c;
    }

private:
    std::size_t room_;
};

TEST(SampleCsv, OutputThatCannotBeWrittenIsAFailure) {
    for (const std::size_t room : {std::size_t{0}, std::size_t{100}}) {
        FailingBuffer buffer(room);
        std::ostream out(&buffer);
        std::ostringstream err;
        testing::FakePacer pacer;
        SampleOptions options;
        options.paths = {kCpu, kAvailable};  // until stopped: only the failure can end it
        pdh::Library library(kFixtures + "/vm-t0", kFixtures + "/vm-t0");
        EXPECT_EQ(sampleCounters(library, options, pacer, out, err), kExitFailure) << room;
        EXPECT_NE(err.str().find("cannot write"), std::string::npos) << room;
        EXPECT_LE(pacer.deadlines.size(), 2U) << room;
    }
}

}  // namespace
}  // namespace vantorel::cli

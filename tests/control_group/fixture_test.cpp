// The Control Group object over a hierarchy shaped like the build machine's
// (a hybrid mount, cgroup2 at /sys/fs/cgroup/unified, no controllers at its
// root) plus hand-made groups with the cpu, memory and io controllers. The tree
// on disk is loaded into a fake kernel so that groups can vanish and come back;
// every expected number is worked out from the fixture text, quoted beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/pdh/engine/library.h"
#include "platform/pdh/enumeration.h"
#include "tests/pdh_engine/fake_reader.h"

namespace vantorel::pdh {
namespace {

namespace fs = std::filesystem;
using testing::FakeReader;

const std::string kTree = std::string(VANTOREL_FIXTURES) + "/vm-cgroup";
const std::string kHierarchy = "/fx/sys/fs/cgroup/unified";
const std::string kDocker = "/system.slice/docker-4f1c2a.scope";
const std::string kFsck = "/system.slice/systemd-fsck@dev-disk-by\\x2duuid-0b5e\\x2d11.service";
const std::string kQemu = "/machine.slice/machine-qemu\\x2d1\\x2dvm:web.scope";
const std::string kSession = "/user.slice/user-1000.slice/session-2.scope";

// The tree as "/fx/...", each directory with its own inode.
void load(FakeReader& fake, const fs::path& tree) {
    std::uint64_t inode = 100;
    fake.directories["/fx"];
    for (auto it = fs::recursive_directory_iterator(tree); it != fs::recursive_directory_iterator(); ++it) {
        const std::string path = "/fx/" + it->path().lexically_relative(tree).string();
        const std::string parent = path.substr(0, path.rfind('/'));
        fake.directories[parent].push_back(it->path().filename().string());
        if (it->is_symlink()) {
            fake.symlinks.insert(path);
            fake.directories[path];  // what following it would find
        } else if (it->is_directory()) {
            fake.directories[path];
            fake.inodes[path] = ++inode;
        } else {
            std::ifstream in(it->path());
            std::stringstream text;
            text << in.rdbuf();
            fake.files[path] = text.str();
        }
    }
}

std::string groupFile(const std::string& group, const std::string& file) {
    return kHierarchy + (group == "/" ? "" : group) + "/" + file;
}

class ControlGroupFixture : public ::testing::Test {
protected:
    void SetUp() override {
        load(*fake, kTree);
        ASSERT_EQ(lib.openQuery(0, &query), ERROR_SUCCESS);
    }

    PDH_HCOUNTER add(const std::string& group, const std::string& counter) {
        const std::string path = makeCounterPath("Control Group", group, counter, true);
        PDH_HCOUNTER c = nullptr;
        EXPECT_EQ(lib.addCounter(query, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        return c;
    }
    PDH_FMT_COUNTERVALUE read(PDH_HCOUNTER c) {
        PDH_FMT_COUNTERVALUE v{};
        lib.formattedValue(c, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, nullptr, &v);
        return v;
    }
    double d(PDH_HCOUNTER c) {
        const PDH_FMT_COUNTERVALUE v = read(c);
        EXPECT_EQ(v.CStatus, PDH_CSTATUS_VALID_DATA);
        return v.doubleValue;
    }
    PDH_STATUS status(PDH_HCOUNTER c) { return read(c).CStatus; }
    void collect() { ASSERT_EQ(lib.collect(query), ERROR_SUCCESS); }

    // Two seconds later: what each group did meanwhile.
    void twoSecondsLater() {
        fake->now += 2.0;
        auto& f = fake->files;
        f[groupFile("/", "cpu.stat")] = "usage_usec 2276362015\nuser_usec 1960767957\nsystem_usec 315594057\nnice_usec 66349733\n";
        f[groupFile("/system.slice", "cpu.stat")] =
            "usage_usec 501000000\nuser_usec 300600000\nsystem_usec 200400000\nnice_usec 0\nnr_periods 0\n"
            "nr_throttled 0\nthrottled_usec 0\nnr_bursts 0\nburst_usec 0\n";
        f[groupFile("/system.slice", "io.stat")] =
            "8:0 rbytes=1050673152 wbytes=2101346304 rios=20030 wios=40100 dbytes=0 dios=0\n"
            "259:0 rbytes=525336576 wbytes=0 rios=5020 wios=0 dbytes=0 dios=0\n";
        f[groupFile("/system.slice", "cpu.pressure")] =
            "some avg10=25.00 avg60=5.00 avg300=1.00 total=1500000\nfull avg10=0.00 avg60=0.00 avg300=0.00 total=0\n";
        f[groupFile("/system.slice", "memory.pressure")] =
            "some avg10=2.00 avg60=0.40 avg300=0.10 total=240000\nfull avg10=2.00 avg60=0.40 avg300=0.10 total=140000\n";
        f[groupFile(kDocker, "cpu.stat")] =
            "usage_usec 121000000\nuser_usec 100800000\nsystem_usec 20200000\nnice_usec 0\nnr_periods 6200\n"
            "nr_throttled 310\nthrottled_usec 9200000\nnr_bursts 0\nburst_usec 0\n";
        f[groupFile(kSession, "cpu.stat")] = "usage_usec 80200000\nuser_usec 60150000\nsystem_usec 20050000\nnice_usec 0\n";
        collect();
    }

    // The group's directory and its files go.
    void removeGroup(const std::string& group) {
        const std::string dir = kHierarchy + group;
        Gone& gone = gone_[group];
        for (auto it = fake->files.begin(); it != fake->files.end();) {
            if (it->first.starts_with(dir + "/")) {
                gone.files.insert(*it);
                it = fake->files.erase(it);
            } else {
                ++it;
            }
        }
        gone.entries = fake->directories[dir];
        fake->directories.erase(dir);
    }
    // A new directory under the same path (another inode), with the same files.
    void makeGroupAgain(const std::string& group) {
        const std::string dir = kHierarchy + group;
        const Gone& gone = gone_[group];
        fake->directories[dir] = gone.entries;
        fake->inodes[dir] += 1000;
        for (const auto& [path, text] : gone.files) fake->files[path] = text;
    }

    std::shared_ptr<FakeReader> fake = std::make_shared<FakeReader>();
    Library lib{"/fx/", "/fx/", fake};
    PDH_HQUERY query = nullptr;

private:
    struct Gone {
        std::map<std::string, std::string> files;
        std::vector<std::string> entries;
    };
    std::map<std::string, Gone> gone_;
};

TEST_F(ControlGroupFixture, ListsEveryGroupParentsFirstWithoutFollowingSymlinks) {
    // user.slice/elsewhere and user-1000.slice/loop are symlinks to directories.
    EXPECT_EQ(lib.enumeration().instances("Control Group"),
              (std::vector<std::string>{"/", "/machine.slice", kQemu, "/system.slice", kDocker, kFsck, "/user.slice",
                                        "/user.slice/user-1000.slice", kSession}));
}

TEST_F(ControlGroupFixture, AGroupThatCannotBeReadIsLeftOutWithWhatIsBelowIt) {
    fake->errors[kHierarchy + "/user.slice"] = EACCES;
    EXPECT_EQ(lib.enumeration().instances("Control Group"),
              (std::vector<std::string>{"/", "/machine.slice", kQemu, "/system.slice", kDocker, kFsck}));
}

TEST_F(ControlGroupFixture, ADeepChainEndsWhereAPathNoLongerFits) {
    std::string dir = kHierarchy + "/user.slice";
    fake->directories[dir].push_back("d");
    for (int level = 0; level < 3000; ++level) {
        dir += "/d";
        fake->directories[dir] = {"d"};
    }
    const std::vector<std::string> listed = lib.enumeration().instances("Control Group");
    std::size_t deepest = 0;
    for (const std::string& group : listed) deepest = std::max(deepest, group.size());
    EXPECT_LT(kHierarchy.size() + deepest, static_cast<std::size_t>(PATH_MAX));
    EXPECT_GT(deepest, 3000u);  // it went down as far as a path can, not stopping early
}

TEST_F(ControlGroupFixture, NoCgroup2MountListsTheObjectWithNoInstances) {
    std::string& mountinfo = fake->files["/fx/proc/self/mountinfo"];
    mountinfo.erase(mountinfo.find("42 32 0:39"));
    const auto objects = lib.enumeration().objects();
    EXPECT_TRUE(std::any_of(objects.begin(), objects.end(), [](const ObjectInfo& o) { return o.name == "Control Group"; }));
    EXPECT_TRUE(lib.enumeration().instances("Control Group").empty());
    PDH_HCOUNTER cpu = add("/", "% Processor Time");
    collect();
    EXPECT_EQ(status(cpu), PDH_CSTATUS_NO_INSTANCE);
}

TEST_F(ControlGroupFixture, ProcessorIoAndPressureOfAGroupWithEveryController) {
    PDH_HCOUNTER cpu = add("/system.slice", "% Processor Time");
    PDH_HCOUNTER user = add("/system.slice", "% User Time");
    PDH_HCOUNTER sys = add("/system.slice", "% Privileged Time");
    PDH_HCOUNTER throttled = add("/system.slice", "% Throttled Time");
    PDH_HCOUNTER readBytes = add("/system.slice", "IO Read Bytes/sec");
    PDH_HCOUNTER writeBytes = add("/system.slice", "IO Write Bytes/sec");
    PDH_HCOUNTER reads = add("/system.slice", "IO Read Operations/sec");
    PDH_HCOUNTER writes = add("/system.slice", "IO Write Operations/sec");
    PDH_HCOUNTER cpuSome = add("/system.slice", "% CPU Some Stall Time");
    PDH_HCOUNTER memFull = add("/system.slice", "% Memory Full Stall Time");
    PDH_HCOUNTER ioSome = add("/system.slice", "% IO Some Stall Time");
    collect();
    // A group keeps no birth time: its rates have no first value.
    EXPECT_EQ(status(cpu), PDH_NO_DATA);
    EXPECT_EQ(status(readBytes), PDH_NO_DATA);
    twoSecondsLater();
    EXPECT_DOUBLE_EQ(d(cpu), 50.0);        // usage_usec +1000000 in 2 s
    EXPECT_DOUBLE_EQ(d(user), 30.0);       // +600000
    EXPECT_DOUBLE_EQ(d(sys), 20.0);        // +400000
    EXPECT_DOUBLE_EQ(d(throttled), 0.0);   // throttled_usec 0 -> 0
    // io.stat over two devices: rbytes 8:0 +2097152, 259:0 +1048576; wbytes 8:0 +4194304;
    // rios +30 +20; wios +100.
    EXPECT_DOUBLE_EQ(d(readBytes), 3145728 / 2.0);
    EXPECT_DOUBLE_EQ(d(writeBytes), 4194304 / 2.0);
    EXPECT_DOUBLE_EQ(d(reads), 25.0);
    EXPECT_DOUBLE_EQ(d(writes), 50.0);
    EXPECT_DOUBLE_EQ(d(cpuSome), 25.0);  // some total +500000 us
    EXPECT_DOUBLE_EQ(d(memFull), 2.0);   // full total +40000 us
    EXPECT_DOUBLE_EQ(d(ioSome), 0.0);    // unchanged
}

TEST_F(ControlGroupFixture, MemoryLimitsAndCountsAsGauges) {
    PDH_HCOUNTER sliceMemory = add("/system.slice", "Memory Bytes");
    PDH_HCOUNTER sliceLimit = add("/system.slice", "Memory Limit Bytes");
    PDH_HCOUNTER sliceInUse = add("/system.slice", "% Memory Limit In Use");
    PDH_HCOUNTER anon = add("/system.slice", "Anonymous Bytes");
    PDH_HCOUNTER file = add("/system.slice", "File Bytes");
    PDH_HCOUNTER limit = add(kDocker, "Memory Limit Bytes");
    PDH_HCOUNTER inUse = add(kDocker, "% Memory Limit In Use");
    PDH_HCOUNTER swap = add(kDocker, "Swap Bytes");
    PDH_HCOUNTER ooms = add(kDocker, "OOM Kills");
    PDH_HCOUNTER processes = add(kDocker, "Processes");
    PDH_HCOUNTER threads = add(kDocker, "Threads");
    PDH_HCOUNTER sliceProcesses = add("/system.slice", "Processes");
    PDH_HCOUNTER throttled = add(kDocker, "% Throttled Time");
    collect();
    EXPECT_DOUBLE_EQ(d(sliceMemory), 805306368.0);
    EXPECT_EQ(status(sliceLimit), PDH_CSTATUS_INVALID_DATA);  // memory.max "max"
    EXPECT_EQ(status(sliceInUse), PDH_CSTATUS_INVALID_DATA);
    EXPECT_DOUBLE_EQ(d(anon), 402653184.0);
    EXPECT_DOUBLE_EQ(d(file), 335544320.0);
    EXPECT_DOUBLE_EQ(d(limit), 536870912.0);
    EXPECT_DOUBLE_EQ(d(inUse), 50.0);  // 268435456 of 536870912
    EXPECT_DOUBLE_EQ(d(swap), 4096.0);
    EXPECT_DOUBLE_EQ(d(ooms), 2.0);
    EXPECT_DOUBLE_EQ(d(processes), 3.0);
    EXPECT_DOUBLE_EQ(d(threads), 7.0);
    EXPECT_DOUBLE_EQ(d(sliceProcesses), 0.0);  // an empty cgroup.procs: none, not unknown
    twoSecondsLater();
    EXPECT_DOUBLE_EQ(d(throttled), 10.0);  // throttled_usec 9000000 -> 9200000
}

TEST_F(ControlGroupFixture, AControllerNotEnabledLeavesItsCountersInvalidAndTheRestWorking) {
    // The captured root: cpu.stat and pressure, no memory or io files.
    PDH_HCOUNTER rootCpu = add("/", "% Processor Time");
    PDH_HCOUNTER rootMemory = add("/", "Memory Bytes");
    PDH_HCOUNTER rootIo = add("/", "IO Read Bytes/sec");
    PDH_HCOUNTER rootProcesses = add("/", "Processes");
    PDH_HCOUNTER rootIoFull = add("/", "% IO Full Stall Time");
    PDH_HCOUNTER rootThrottled = add("/", "% Throttled Time");  // no cpu controller: no throttled_usec
    PDH_HCOUNTER session = add(kSession, "% Processor Time");
    PDH_HCOUNTER sessionMemory = add(kSession, "Memory Bytes");
    PDH_HCOUNTER fsckIo = add(kFsck, "IO Write Bytes/sec");
    PDH_HCOUNTER fsckMemory = add(kFsck, "Memory Bytes");
    collect();
    // The root group has counted since boot (the clock reads 1000 s): 2274862015 us.
    EXPECT_NEAR(d(rootCpu), 2274.862015 / 1000 * 100, 1e-9);
    EXPECT_NEAR(d(rootIoFull), 11.481626 / 1000 * 100, 1e-9);
    EXPECT_DOUBLE_EQ(d(rootProcesses), 5.0);
    EXPECT_DOUBLE_EQ(d(fsckMemory), 1048576.0);
    twoSecondsLater();
    EXPECT_DOUBLE_EQ(d(rootCpu), 75.0);  // +1500000 us
    EXPECT_DOUBLE_EQ(d(session), 10.0);  // +200000 us
    for (PDH_HCOUNTER c : {rootMemory, rootIo, rootThrottled, sessionMemory, fsckIo})
        EXPECT_EQ(status(c), PDH_CSTATUS_INVALID_DATA);
}

TEST_F(ControlGroupFixture, NamesWithEscapesAndColonsReadTheirOwnGroup) {
    for (const std::string& group : lib.enumeration().instances("Control Group")) {
        PDH_HCOUNTER c = add(group, "Processes");
        collect();
        EXPECT_EQ(status(c), PDH_CSTATUS_VALID_DATA) << group;
    }
    PDH_HCOUNTER qemu = add(kQemu, "% Memory Limit In Use");
    PDH_HCOUNTER qemuThreads = add(kQemu, "Threads");
    collect();
    EXPECT_DOUBLE_EQ(d(qemu), 50.0);  // 2147483648 of 4294967296
    EXPECT_DOUBLE_EQ(d(qemuThreads), 4.0);
}

TEST_F(ControlGroupFixture, NamesThatAreNoGroupPathFindNothing) {
    for (const char* name : {"system.slice", "/system.slice/", "//system.slice", "/system.slice/../..",
                             "/./system.slice", "/.."}) {
        PDH_HCOUNTER c = add(name, "Processes");
        collect();
        EXPECT_EQ(status(c), PDH_CSTATUS_NO_INSTANCE) << name;
    }
}

TEST_F(ControlGroupFixture, EachFileIsReadOncePerCollectAndOnlyWhenNeeded) {
    for (const char* counter : {"% Processor Time", "% User Time", "% Privileged Time", "IO Read Bytes/sec",
                                "IO Write Bytes/sec", "IO Read Operations/sec"})
        add("/system.slice", counter);
    add(kDocker, "Processes");
    collect();
    fake->resetCounts();
    collect();
    EXPECT_EQ(fake->readsOf(groupFile("/system.slice", "cpu.stat")), 1);
    EXPECT_EQ(fake->readsOf(groupFile("/system.slice", "io.stat")), 1);
    EXPECT_EQ(fake->readsOf(groupFile(kDocker, "cgroup.procs")), 1);
    EXPECT_EQ(fake->readsOf(groupFile("/system.slice", "memory.stat")), 0);
    EXPECT_EQ(fake->readsOf(groupFile(kDocker, "cpu.stat")), 0);
    EXPECT_EQ(fake->readsOf("/fx/proc/self/mountinfo"), 0);  // the mount is found once
    // Nothing else: files kept open vouch for their group, no look at its directory.
    EXPECT_EQ(fake->totalReads(), 3);
}

TEST_F(ControlGroupFixture, AGroupThatVanishesReadsNoInstanceAndStaysGoneWhenMadeAgain) {
    PDH_HCOUNTER processes = add(kDocker, "Processes");
    PDH_HCOUNTER memory = add(kDocker, "Memory Bytes");
    PDH_HCOUNTER other = add("/system.slice", "Processes");
    collect();
    EXPECT_DOUBLE_EQ(d(processes), 3.0);

    removeGroup(kDocker);
    collect();
    EXPECT_EQ(status(processes), PDH_CSTATUS_NO_INSTANCE);
    EXPECT_EQ(status(memory), PDH_CSTATUS_NO_INSTANCE);
    EXPECT_DOUBLE_EQ(d(other), 0.0);

    // Made again under the same path: another group, never this counter's.
    makeGroupAgain(kDocker);
    collect();
    EXPECT_EQ(status(processes), PDH_CSTATUS_NO_INSTANCE);
    // A counter added now finds the new group.
    PDH_HCOUNTER fresh = add(kDocker, "Processes");
    collect();
    EXPECT_DOUBLE_EQ(d(fresh), 3.0);
    EXPECT_EQ(status(processes), PDH_CSTATUS_NO_INSTANCE);
}

TEST_F(ControlGroupFixture, AGroupReplacedBetweenTwoCollectsIsNotTakenForTheOld) {
    PDH_HCOUNTER cpu = add(kDocker, "% Processor Time");
    collect();
    removeGroup(kDocker);  // gone and back before the next look
    makeGroupAgain(kDocker);
    twoSecondsLater();
    EXPECT_EQ(status(cpu), PDH_CSTATUS_NO_INSTANCE);
}

TEST_F(ControlGroupFixture, AGroupMadeAfterItsCounterIsFoundThen) {
    const std::string later = "/system.slice/later.service";
    PDH_HCOUNTER processes = add(later, "Processes");
    collect();
    EXPECT_EQ(status(processes), PDH_CSTATUS_NO_INSTANCE);
    fake->directories[kHierarchy + later];
    fake->files[groupFile(later, "cgroup.procs")] = "77\n";
    collect();
    EXPECT_DOUBLE_EQ(d(processes), 1.0);
}

TEST_F(ControlGroupFixture, AFileGoneWhileItsGroupStaysIsInvalidNotNoInstance) {
    PDH_HCOUNTER memory = add(kDocker, "Memory Bytes");
    PDH_HCOUNTER processes = add(kDocker, "Processes");
    collect();
    EXPECT_DOUBLE_EQ(d(memory), 268435456.0);
    fake->files.erase(groupFile(kDocker, "memory.current"));  // the memory controller was turned off
    collect();
    EXPECT_EQ(status(memory), PDH_CSTATUS_INVALID_DATA);
    EXPECT_DOUBLE_EQ(d(processes), 3.0);
    fake->files[groupFile(kDocker, "memory.current")] = "1024\n";  // and on again
    collect();
    EXPECT_DOUBLE_EQ(d(memory), 1024.0);
}

}  // namespace
}  // namespace vantorel::pdh

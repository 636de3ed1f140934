// The live hierarchy: a group made for the test, a busy child moved into it,
// and the group's counters against the child's own over the same second.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/pdh/engine/library.h"
#include "platform/pdh/enumeration.h"
#include "platform/pdh/sources/cgroup_hierarchy.h"
#include "platform/pdh/sources/mountinfo.h"

namespace vantorel::pdh {
namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

class Session {
public:
    explicit Session(Library& lib) : lib_(lib) { EXPECT_EQ(lib_.openQuery(0, &query_), ERROR_SUCCESS); }
    ~Session() { lib_.closeQuery(query_); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    PDH_HCOUNTER add(const std::string& object, const std::string& instance, const std::string& counter) {
        const std::string path = makeCounterPath(object, instance, counter, true);
        PDH_HCOUNTER c = nullptr;
        EXPECT_EQ(lib_.addCounter(query_, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        return c;
    }
    void collect() { ASSERT_EQ(lib_.collect(query_), ERROR_SUCCESS); }
    PDH_FMT_COUNTERVALUE read(PDH_HCOUNTER c) {
        PDH_FMT_COUNTERVALUE v{};
        lib_.formattedValue(c, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, nullptr, &v);
        return v;
    }

private:
    Library& lib_;
    PDH_HQUERY query_ = nullptr;
};

TEST(LiveControlGroup, ABusyChildInItsOwnGroup) {
    const auto mount = sources::findCgroup2Mount(sources::parseMountinfo(slurp("/proc/self/mountinfo")));
    if (!mount) GTEST_SKIP() << "no cgroup v2 hierarchy on this machine";
    Library lib;
    EXPECT_EQ(lib.enumeration().instances("Control Group").front(), "/");

    const std::string name = "/vantorel-live-" + std::to_string(::getpid());
    const std::string dir = mount->mountPoint + name;
    if (::mkdir(dir.c_str(), 0755) != 0)
        GTEST_SKIP() << "cannot make a group under " << mount->mountPoint << " (" << std::strerror(errno)
                     << "): the hierarchy is read-only here, or this is not root";

    int ready[2] = {-1, -1};
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::prctl(PR_SET_NAME, "vantorel-busy", 0, 0, 0);
        (void)!::write(ready[1], "r", 1);
        volatile unsigned long spin = 0;
        for (;;) spin = static_cast<unsigned long>(spin) + 1;
    }
    ASSERT_GT(child, 0);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    const bool moved = writeFile(dir + "/cgroup.procs", std::to_string(child) + "\n");

    double groupCpu = -1.0, childCpu = -1.0, processes = -1.0, threads = -1.0;
    PDH_STATUS afterRemoval = 0;
    if (moved) {
        Session s(lib);
        PDH_HCOUNTER cpu = s.add("Control Group", name, "% Processor Time");
        PDH_HCOUNTER procs = s.add("Control Group", name, "Processes");
        PDH_HCOUNTER thr = s.add("Control Group", name, "Threads");
        PDH_HCOUNTER own = s.add("Process", "vantorel-busy:" + std::to_string(child), "% Processor Time");
        s.collect();
        EXPECT_EQ(s.read(procs).doubleValue, 1.0);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        s.collect();
        groupCpu = s.read(cpu).doubleValue;
        childCpu = s.read(own).doubleValue;
        processes = s.read(procs).doubleValue;
        threads = s.read(thr).doubleValue;

        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        EXPECT_EQ(::rmdir(dir.c_str()), 0) << std::strerror(errno);
        s.collect();
        afterRemoval = s.read(cpu).CStatus;
    } else {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::rmdir(dir.c_str());
        GTEST_SKIP() << "cannot move a process into " << dir;
    }
    std::printf("[ live ] %s: %% Processor Time %.2f (the child's own: %.2f), Processes %.0f, Threads %.0f; "
                "after removal 0x%08X\n",
                name.c_str(), groupCpu, childCpu, processes, threads, static_cast<unsigned>(afterRemoval));
    EXPECT_EQ(processes, 1.0);
    EXPECT_EQ(threads, 1.0);
    // A busy child uses a whole processor unless the machine is crowded; the
    // group's share must be the child's share either way.
    EXPECT_GT(groupCpu, 20.0);
    EXPECT_NEAR(groupCpu, childCpu, 5.0);
    EXPECT_EQ(afterRemoval, PDH_CSTATUS_NO_INSTANCE);
}

}  // namespace
}  // namespace vantorel::pdh

// CPU per scrape of vantorel-cli serve (every machine-wide family) against
// prometheus-node-exporter on the same machine, side by side in one run: 200
// scrapes of each on loopback, CPU time of each server from /proc/PID/stat.
// `ratio` = vantorel's CPU per scrape / node_exporter's.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kScrapes = 200;

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    ::close(fd);
    return ntohs(a.sin_port);
}

// The body's length, 0 when the scrape failed.
std::size_t scrape(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return ::close(fd), 0;
    const std::string request = "GET /metrics HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
    (void)!::write(fd, request.data(), request.size());
    std::string response;
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) response.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return response.starts_with("HTTP/1.1 200") ? response.size() : 0;
}

// utime + stime of a process, in seconds.
double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string skip;
    for (int i = 3; i < 14; ++i) fields >> skip;
    double utime = 0;
    double stime = 0;
    fields >> utime >> stime;
    return (utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

pid_t start(std::vector<std::string> argv) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (std::string& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}

struct Server {
    pid_t pid;
    int port;
    ~Server() {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
};

bool ready(int port) {
    for (int i = 0; i < 100; ++i) {
        if (scrape(port) > 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// CPU seconds per scrape; the interleaving keeps both under the same load.
void BM_CpuPerScrape(benchmark::State& state) {
    const int vPort = freePort();
    const int nPort = freePort();
    Server vantorel{start({VANTOREL_CLI_BINARY, "serve", "--listen", "127.0.0.1:" + std::to_string(vPort)}), vPort};
    Server node{start({"prometheus-node-exporter", "--web.listen-address=127.0.0.1:" + std::to_string(nPort)}),
                nPort};
    if (!ready(vPort) || !ready(nPort)) return state.SkipWithError("a server did not answer");
    double vCpu = 0;
    double nCpu = 0;
    std::size_t vBytes = 0;
    std::size_t nBytes = 0;
    for (auto _ : state) {
        const double v0 = cpuSeconds(vantorel.pid);
        const double n0 = cpuSeconds(node.pid);
        for (int i = 0; i < kScrapes; ++i) {
            vBytes = scrape(vPort);
            nBytes = scrape(nPort);
        }
        vCpu += cpuSeconds(vantorel.pid) - v0;
        nCpu += cpuSeconds(node.pid) - n0;
    }
    const double runs = static_cast<double>(state.iterations()) * kScrapes;
    state.counters["vantorel_ms"] = 1e3 * vCpu / runs;
    state.counters["node_exporter_ms"] = 1e3 * nCpu / runs;
    state.counters["ratio"] = nCpu > 0 ? vCpu / nCpu : 0;
    state.counters["vantorel_bytes"] = static_cast<double>(vBytes);
    state.counters["node_exporter_bytes"] = static_cast<double>(nBytes);
}
BENCHMARK(BM_CpuPerScrape)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

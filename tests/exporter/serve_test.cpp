// The real program: a live scrape that promtool accepts, a clean stop, a bind
// that fails, authentication, and hostile clients that must not stop the rest.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// A socket to the loopback port, with a receive timeout so that no test hangs.
int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string roundTrip(int port, const std::string& request) {
    const int fd = connectTo(port);
    if (fd < 0) return {};
    (void)!::write(fd, request.data(), request.size());
    std::string response;
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) response.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return response;
}

std::string get(int port, const std::string& headers = "") {
    return roundTrip(port, "GET /metrics HTTP/1.1\r\nHost: localhost\r\n" + headers + "Connection: close\r\n\r\n");
}

std::string bodyOf(const std::string& response) {
    const std::size_t end = response.find("\r\n\r\n");
    return end == std::string::npos ? std::string{} : response.substr(end + 4);
}

long rssKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
    return -1;
}

class Server {
public:
    explicit Server(std::vector<std::string> args) {
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            std::vector<std::string> all{VANTOREL_CLI_BINARY, "serve"};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& a : all) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        out_ = ::fdopen(out[0], "r");
        err_ = ::fdopen(err[0], "r");
        char line[256];
        if (std::fgets(line, sizeof line, out_) != nullptr) std::sscanf(line, "serving http://127.0.0.1:%d/metrics", &port_);
    }
    ~Server() {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ != nullptr) std::fclose(out_);
        if (err_ != nullptr) std::fclose(err_);
    }
    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    // Exit status after `signal` (0: just wait), -1 when it did not exit normally.
    int stop(int signal) {
        if (signal != 0) ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string errors() {
        std::string text;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, err_) != nullptr) text += buffer;
        return text;
    }

private:
    pid_t pid_ = -1;
    int port_ = 0;
    bool reaped_ = false;
    FILE* out_ = nullptr;
    FILE* err_ = nullptr;
};

TEST(Serve, LiveScrapePassesPromtoolAndSigtermEndsCleanly) {
    Server server({"--listen", "127.0.0.1:0"});
    ASSERT_GT(server.port(), 0);
    const std::string response = get(server.port());
    ASSERT_TRUE(response.starts_with("HTTP/1.1 200")) << response.substr(0, 200);
    EXPECT_NE(response.find("Content-Type: text/plain"), std::string::npos);
    const std::string body = bodyOf(response);
    EXPECT_NE(body.find("vantorel_network_interface_received_bytes_total{interface=\"lo\"}"), std::string::npos);
    FILE* promtool = ::popen("promtool check metrics > /dev/null 2>&1", "w");
    ASSERT_NE(promtool, nullptr);
    std::fwrite(body.data(), 1, body.size(), promtool);
    EXPECT_EQ(::pclose(promtool), 0) << body;

    const std::string om = get(server.port(), "Accept: application/openmetrics-text;version=1.0.0\r\n");
    EXPECT_NE(om.find("Content-Type: application/openmetrics-text; version=1.0.0"), std::string::npos);
    EXPECT_TRUE(om.ends_with("# EOF\n"));
    EXPECT_EQ(server.stop(SIGTERM), 0);
}

TEST(Serve, HostileClientsLeaveTheOthersAnswered) {
    Server server({"--listen", "127.0.0.1:0"});
    ASSERT_GT(server.port(), 0);
    ASSERT_TRUE(get(server.port()).starts_with("HTTP/1.1 200"));
    const long rssBefore = rssKib(server.pid());

    const std::string malformed = roundTrip(server.port(), "\x01\x02 NOT HTTP AT ALL\r\n\r\n");
    EXPECT_FALSE(malformed.starts_with("HTTP/1.1 200")) << malformed;
    // Clients that connect and send nothing, or ask and never read, hold their own
    // connections only.
    std::vector<int> idle;
    for (int i = 0; i < 3; ++i) idle.push_back(connectTo(server.port()));
    for (int i = 0; i < 3; ++i) {
        const int fd = connectTo(server.port());
        const std::string request = "GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n";
        (void)!::write(fd, request.data(), request.size());
        idle.push_back(fd);
    }

    std::atomic<int> answered{0};
    std::vector<std::thread> scrapers;
    for (int i = 0; i < 50; ++i)
        scrapers.emplace_back([&] {
            const std::string r = get(server.port());
            if (r.starts_with("HTTP/1.1 200") && r.find("vantorel_scrape_duration_seconds") != std::string::npos)
                ++answered;
        });
    for (std::thread& t : scrapers) t.join();
    EXPECT_EQ(answered.load(), 50);
    EXPECT_LT(rssKib(server.pid()) - rssBefore, 64 * 1024) << "KiB grown over 50 concurrent scrapes";
    for (int fd : idle) ::close(fd);
    EXPECT_TRUE(get(server.port()).starts_with("HTTP/1.1 200"));
    EXPECT_EQ(server.stop(SIGINT), 0);
}

TEST(Serve, AFailingBindNamesTheAddressAndWhy) {
    const int holder = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(holder, 1), 0);
    ASSERT_EQ(::getsockname(holder, reinterpret_cast<sockaddr*>(&a), &length), 0);
    const std::string taken = "127.0.0.1:" + std::to_string(ntohs(a.sin_port));

    const struct {
        std::string listen;
        std::string says;
    } cases[] = {
        {taken, "cannot listen on " + taken + ": Address already in use"},
        {"localhost:9479", "localhost is not an IPv4 address"},
        {"127.0.0.1:99999", "99999 is not a port number"},
        {"192.0.2.1:9479", "cannot listen on 192.0.2.1:9479: Cannot assign requested address"},
    };
    for (const auto& c : cases) {
        Server server({"--listen", c.listen});
        EXPECT_EQ(server.port(), 0);
        EXPECT_EQ(server.stop(0), 2) << c.listen;
        const std::string err = server.errors();
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
    }
    ::close(holder);
}

TEST(Serve, BasicAuthFromAFile) {
    char path[] = "/tmp/vantorel-auth-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string line = "prom:s3cret\n";
    ASSERT_EQ(::write(fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    ::close(fd);
    Server server({"--listen", "127.0.0.1:0", "--basic-auth-file", path});
    ASSERT_GT(server.port(), 0);
    EXPECT_TRUE(get(server.port()).starts_with("HTTP/1.1 401"));
    EXPECT_TRUE(get(server.port(), "Authorization: Basic cHJvbTpub3Bl\r\n").starts_with("HTTP/1.1 401"));
    EXPECT_TRUE(get(server.port(), "Authorization: Basic cHJvbTpzM2NyZXQ=\r\n").starts_with("HTTP/1.1 200"));
    const std::string om = get(server.port(), "Authorization: Basic cHJvbTpzM2NyZXQ=\r\n"
                                              "Accept: application/openmetrics-text\r\n");
    EXPECT_TRUE(om.ends_with("# EOF\n")) << om.substr(0, 200);
    EXPECT_EQ(server.stop(SIGTERM), 0);
    ::unlink(path);
}

}  // namespace

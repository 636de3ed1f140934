// Ctrl+C against the real program on this machine: it must end at once, with
// every row it wrote whole, and report success.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

namespace {

class Child {
public:
    explicit Child(const std::vector<std::string>& args) {
        int fds[2] = {-1, -1};
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            // As an interactive shell starts a command: SIGINT at its default.
            sigset_t none{};
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            signal(SIGINT, SIG_DFL);
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
            std::vector<char*> argv{const_cast<char*>(VANTOREL_CLI_BINARY)};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(VANTOREL_CLI_BINARY, argv.data());
            _exit(127);
        }
        close(fds[1]);
        out_ = fds[0];
    }
    ~Child() {
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return pid_ > 0 && out_ >= 0; }
    pid_t pid() const { return pid_; }

    // Reads until `lines` whole lines have arrived, the pipe closes or the patience runs out.
    std::string readLines(std::size_t lines, std::chrono::seconds patience) {
        const auto giveUp = std::chrono::steady_clock::now() + patience;
        while (count('\n') < lines && std::chrono::steady_clock::now() < giveUp) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 200) <= 0) continue;
            char buffer[4096] = {};
            const ssize_t n = read(out_, buffer, sizeof buffer);
            if (n <= 0) break;
            text_.append(buffer, static_cast<std::size_t>(n));
        }
        return text_;
    }
    std::string readToEnd(std::chrono::seconds patience) { return readLines(static_cast<std::size_t>(-1), patience); }

    // The wait status, or -1 when it has not ended within the patience.
    int waitFor(std::chrono::seconds patience) {
        const auto giveUp = std::chrono::steady_clock::now() + patience;
        int status = 0;
        while (std::chrono::steady_clock::now() < giveUp) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                return status;
            }
            usleep(20000);
        }
        return -1;
    }

private:
    std::size_t count(char c) const {
        std::size_t n = 0;
        for (const char x : text_) n += x == c ? 1 : 0;
        return n;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    bool reaped_ = false;
    std::string text_;
};

std::size_t fields(const std::string& line) {
    std::size_t n = 1;
    for (const char c : line) n += c == ',' ? 1 : 0;
    return n;
}

void expectWholeRows(const std::string& text, std::size_t atLeast) {
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << text;
    std::size_t start = 0;
    std::size_t rows = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(fields(line), 3U) << line;
        if (rows > 0) {
            EXPECT_EQ(line.find(",,"), std::string::npos) << line;
        }
        ++rows;
        start = end + 1;
    }
    EXPECT_GE(rows, atLeast + 1) << text;
}

const std::vector<std::string> kPaths = {"\\Processor(_Total)\\% Processor Time", "\\Memory\\Available MBytes"};

TEST(Interrupt, CtrlCAfterTheSecondRowEndsCleanly) {
    std::vector<std::string> args = {"sample", "--interval", "0.2"};
    args.insert(args.end(), kPaths.begin(), kPaths.end());
    Child child(args);
    ASSERT_TRUE(child.started());
    const std::string head = child.readLines(3, std::chrono::seconds(20));
    ASSERT_GE(std::count(head.begin(), head.end(), '\n'), 3) << head;
    ASSERT_EQ(kill(child.pid(), SIGINT), 0);
    const std::string text = child.readToEnd(std::chrono::seconds(20));
    const int status = child.waitFor(std::chrono::seconds(20));
    ASSERT_NE(status, -1) << "still running after SIGINT";
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    expectWholeRows(text, 2);
}

TEST(Interrupt, CtrlCCutsALongSleepShort) {
    // An hour between samples: only an interrupted sleep can end this in time.
    std::vector<std::string> args = {"sample", "--interval", "3600"};
    args.insert(args.end(), kPaths.begin(), kPaths.end());
    Child child(args);
    ASSERT_TRUE(child.started());
    child.readLines(2, std::chrono::seconds(20));
    ASSERT_EQ(kill(child.pid(), SIGINT), 0);
    const std::string text = child.readToEnd(std::chrono::seconds(20));
    const int status = child.waitFor(std::chrono::seconds(20));
    ASSERT_NE(status, -1) << "the sleep ignored SIGINT";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    expectWholeRows(text, 1);
}

}  // namespace

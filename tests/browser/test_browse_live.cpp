// The browser over the live library: a process with a hostile name, picked with
// the filter, must come back as a path that reads that very process.
#include "platform/pdh/engine/library.h"

#include "dialog_driver.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantorel::pdh::test {
namespace {

constexpr char kHostileName[] = "a) b\\c:(d";

// Forks a child that renames itself and waits until the parent is done with it.
class NamedChild {
public:
    NamedChild() {
        int ready[2] = {-1, -1};
        int hold[2] = {-1, -1};
        if (pipe(ready) != 0 || pipe(hold) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(hold[1]);
            prctl(PR_SET_NAME, kHostileName, 0, 0, 0);
            const char byte = 'r';
            (void)!write(ready[1], &byte, 1);
            char ignored = 0;
            // Returns when the parent closes its end (or dies).
            (void)!read(hold[0], &ignored, 1);
            _exit(0);
        }
        close(ready[1]);
        close(hold[0]);
        hold_ = hold[1];
        char byte = 0;
        if (pid_ < 0 || read(ready[0], &byte, 1) != 1) {
            pid_ = -1;
        }
        close(ready[0]);
    }
    ~NamedChild() {
        if (hold_ >= 0) {
            close(hold_);
        }
        if (pid_ > 0) {
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    NamedChild(const NamedChild&) = delete;
    NamedChild& operator=(const NamedChild&) = delete;

    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int hold_ = -1;
};

int rowNamed(QListWidget& list, const QString& text) {
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->text() == text) {
            return row;
        }
    }
    return -1;
}

// Moves through a list with the arrow keys to the row showing text.
void arrowTo(QListWidget& list, const QString& text) {
    const int target = rowNamed(list, text);
    ASSERT_GE(target, 0) << text.toStdString();
    const int from = list.currentRow();
    press(list, target > from ? Qt::Key_Down : Qt::Key_Up, std::abs(target - from));
    ASSERT_EQ(list.currentRow(), target);
}

using LiveBrowse = BrowserTest;

TEST_F(LiveBrowse, PicksAHostileProcessThatReadsBackItsPid) {
    NamedChild child;
    ASSERT_GT(child.pid(), 0);
    const std::string instance = std::string(kHostileName) + ":" + std::to_string(child.pid());
    PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
    onDialog(kCaption, [&instance](BrowseCountersDialog& d) {
        arrowTo(objects(d), "Process");
        arrowTo(counters(d), "ID Process");
        QTest::keyClicks(&filter(d), QString::fromStdString(instance));
        EXPECT_EQ(instances(d).model()->rowCount(), 1);
        press(filter(d), Qt::Key_Return);
    });
    ASSERT_EQ(PdhBrowseCountersA(&config), ERROR_SUCCESS);
    ASSERT_EQ(returned(), "\\Process(" + instance + ")\\ID Process");

    Library& library = defaultLibrary();
    PDH_HQUERY query = nullptr;
    PDH_HCOUNTER counter = nullptr;
    ASSERT_EQ(library.openQuery(0, &query), ERROR_SUCCESS);
    ASSERT_EQ(library.addCounter(query, buffer.data(), 0, &counter), ERROR_SUCCESS);
    ASSERT_EQ(library.collect(query), ERROR_SUCCESS);
    PDH_FMT_COUNTERVALUE value{};
    EXPECT_EQ(library.formattedValue(counter, PDH_FMT_LONG, nullptr, &value), ERROR_SUCCESS);
    EXPECT_EQ(value.CStatus, PDH_CSTATUS_VALID_DATA);
    EXPECT_EQ(value.longValue, child.pid());
    library.closeQuery(query);
}

}  // namespace
}  // namespace vantorel::pdh::test

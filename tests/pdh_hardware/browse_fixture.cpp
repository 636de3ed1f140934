// The counter browser over a captured machine, for screenshots: opens on the
// given object and counter, and returns the chosen path as the real one would.
//   browse_fixture PROC_ROOT SYS_ROOT OBJECT COUNTER
#include <QApplication>
#include <QListView>
#include <QListWidget>
#include <QTimer>

#include <array>
#include <cstdio>
#include <cstring>

#include "platform/pdh/browser/run_browse_dialog.h"
#include "platform/pdh/engine/library.h"

namespace {

void choose(QListWidget* list, const QString& text) {
    if (list == nullptr) return;
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    if (!found.isEmpty()) list->setCurrentItem(found.front());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s PROC_ROOT SYS_ROOT OBJECT COUNTER\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    vantorel::pdh::Library library(argv[1], argv[2]);
    const QString object = QString::fromUtf8(argv[3]);
    const QString counter = QString::fromUtf8(argv[4]);

    QTimer::singleShot(100, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* objects = top->findChild<QListWidget*>(QStringLiteral("objectList"));
            if (objects == nullptr || !top->isVisible()) continue;
            choose(objects, object);
            choose(top->findChild<QListWidget*>(QStringLiteral("counterList")), counter);
            if (auto* instances = top->findChild<QListView*>(QStringLiteral("instanceList")))
                instances->setCurrentIndex(instances->model()->index(0, 0));
        }
    });

    std::array<char, 1024> path{};
    PDH_BROWSE_DLG_CONFIG_A config;
    std::memset(&config, 0, sizeof config);
    config.bSingleCounterPerAdd = 1;
    config.bSingleCounterPerDialog = 1;
    config.bLocalCountersOnly = 1;
    config.bHideDetailBox = 1;
    config.szReturnPathBuffer = path.data();
    config.cchReturnPathLength = static_cast<DWORD>(path.size());
    config.dwDefaultDetailLevel = PERF_DETAIL_WIZARD;
    const PDH_STATUS status = vantorel::pdh::runBrowseDialog(&config, library.enumeration());
    if (status == ERROR_SUCCESS) std::printf("%s\n", path.data());
    return status == ERROR_SUCCESS ? 0 : 1;
}

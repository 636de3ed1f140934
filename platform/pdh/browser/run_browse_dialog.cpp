#include "platform/pdh/browser/run_browse_dialog.h"

#include "platform/pdh/browser/browse_config.h"
#include "platform/pdh/browser/browse_dialog.h"
#include "platform/pdh/browser/cascade.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>

#include <cstring>
#include <memory>

namespace vantorel::pdh {

PDH_STATUS runBrowseDialog(PDH_BROWSE_DLG_CONFIG_A* config, const Enumeration& source) {
    BrowseConfigCheck check = checkBrowseConfig(config);
    if (check.status != ERROR_SUCCESS || config == nullptr) {
        return PDH_INVALID_ARGUMENT;
    }
    // Widgets exist only in a QApplication, and only on its thread.
    const QCoreApplication* app = QCoreApplication::instance();
    if (qobject_cast<const QApplication*>(app) == nullptr ||
        QThread::currentThread() != app->thread()) {
        return PDH_INVALID_ARGUMENT;
    }
    const std::size_t capacity = check.options.capacity;

    // QDialog::exec() would block input to every other window; a local loop
    // serves them all while only waiting for this dialog.
    QPointer<BrowseCountersDialog> dialog =
        new BrowseCountersDialog(source, std::move(check.options));
    QEventLoop loop;
    QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    // A browser opened while another is open must not hide it.
    static Cascade cascade;
    cascade.place(*dialog);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    loop.exec();

    std::string path;
    const bool accepted = !dialog.isNull() && dialog->result() == QDialog::Accepted;
    if (accepted) {
        path = dialog->chosenPath();
    }
    // The loop returns between events, never inside one of the dialog's own
    // handlers, so the dialog can go now.
    delete dialog.data();
    if (!accepted || checkPathFits(path, capacity) != PathFit::Fits) {
        return PDH_DIALOG_CANCELLED;
    }
    std::memcpy(config->szReturnPathBuffer, path.data(), path.size());
    config->szReturnPathBuffer[path.size()] = '\0';
    if (config->pCallBack != nullptr) {
        config->CallBackStatus = config->pCallBack(config->dwCallBackArg);
    }
    return ERROR_SUCCESS;
}

}  // namespace vantorel::pdh

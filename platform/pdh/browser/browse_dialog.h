// The counter browser: objects, their counters down to a detail level, the
// chosen object's current instances with a filter, the counter's description.
#pragma once

#include "platform/pdh/browser/browse_config.h"
#include "platform/pdh/enumeration.h"

#include <QDialog>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QSortFilterProxyModel;
class QStandardItemModel;

namespace vantorel::pdh {

class BrowseCountersDialog : public QDialog {
    Q_OBJECT

public:
    // source must outlive the dialog; it is asked for instances each time an
    // object is chosen.
    BrowseCountersDialog(const Enumeration& source, BrowseOptions options,
                         QWidget* parent = nullptr);

    // The path the current choice gives, byte-exact; none while the choice is
    // incomplete (no counter, or no instance left by the filter).
    std::optional<std::string> currentPath() const;
    // The path accepted with OK; empty until then.
    const std::string& chosenPath() const { return chosen_; }

    // Accepts only a path that fits the caller's buffer; otherwise says why in the
    // dialog and stays open.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    void listObjects();
    void chooseObject(int row, std::string_view preferredCounter,
                      std::string_view preferredInstance);
    void listCounters(std::string_view preferred);
    void listInstances(std::string_view preferred);
    void applyFilter();
    void chooseDetailLevel(int index);
    void choiceChanged();
    void showMessage(const QString& text);

    const ObjectInfo* currentObject() const;
    const CounterInfo* currentCounter() const;
    const std::string* currentInstance() const;

    const Enumeration& source_;
    BrowseOptions options_;
    unsigned level_ = PERF_DETAIL_WIZARD;
    std::vector<ObjectInfo> objects_;
    std::vector<std::string> instances_;  // of the current object, as listed
    std::string chosen_;
    QString listingError_;

    QComboBox* machineBox_ = nullptr;
    QListWidget* objectList_ = nullptr;
    QListWidget* counterList_ = nullptr;
    QLineEdit* instanceFilter_ = nullptr;
    QListView* instanceList_ = nullptr;
    QStandardItemModel* instanceModel_ = nullptr;
    QSortFilterProxyModel* instanceProxy_ = nullptr;
    QLabel* descriptionLabel_ = nullptr;
    QLabel* pathLabel_ = nullptr;
    QLabel* messageLabel_ = nullptr;
    QComboBox* detailBox_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace vantorel::pdh

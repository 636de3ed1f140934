#pragma once

#include <QAbstractTableModel>
#include <QTableView>

class TListItems;
class TListColumns;

namespace vcl_detail {

// Serves a list view's rows straight from its items: a cell's text is turned
// into a QString only when the cell is painted.
class ListViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListViewModel(QObject* parent) : QAbstractTableModel(parent) {}

    void attach(const TListItems* items, const TListColumns* columns);
    void setReport(bool report);
    const TListColumns* columns() const { return columns_; }
    bool report() const { return report_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void beginAppendRow();
    void endAppendRow();
    void columnsChanged();
    // Cell changes are gathered and told to the view once, when control returns
    // to the event loop, so a refresh of every row costs one repaint.
    void cellChanged(int row, int column);
    void flushChanges();

signals:
    void columnLayoutChanged();

private:
    const TListItems* items_ = nullptr;
    const TListColumns* columns_ = nullptr;
    bool report_ = false;
    int dirtyTop_ = -1;
    int dirtyBottom_ = -1;
    int dirtyLeft_ = -1;
    int dirtyRight_ = -1;
    bool flushPosted_ = false;
};

class ListViewWidget : public QTableView {
    Q_OBJECT
public:
    ListViewWidget();
    ListViewModel* listModel() const { return model_; }
    void applyColumnSizes();
    // The whole text of a cell the column cuts off; empty when it fits.
    QString cutCellText(const QModelIndex& index) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    ListViewModel* model_;
    // Auto-sized columns fill the width until a person drags one.
    bool userSized_ = false;
    bool sizing_ = false;
    int filledWidth_ = -1;
};

}  // namespace vcl_detail

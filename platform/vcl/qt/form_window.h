#pragma once

#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

class TForm;

namespace vcl_detail {

// A form's window: a scrolling client area for its placed controls and a strip
// along the bottom edge for the docked ones.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(TForm* form);

    QWidget* client() const { return client_; }
    QScrollArea* scrollArea() const { return scroll_; }
    void dockBottom(QWidget* widget);
    // The extent of the placed controls; smaller windows scroll.
    void updateScrollRange();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TForm* form_;
    QVBoxLayout* layout_;
    QScrollArea* scroll_;
    QWidget* client_;
};

}  // namespace vcl_detail

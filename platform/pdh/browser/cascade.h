// Places each new window of one kind a title bar down and to the right of the
// newest one still open, as cascading windows are, so none hides another.
#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

namespace vantorel::pdh {

class Cascade {
public:
    // Call before the window shows. The first window is left where the
    // platform puts it.
    void place(QWidget& window);

private:
    std::vector<QPointer<QWidget>> open_;
};

}  // namespace vantorel::pdh

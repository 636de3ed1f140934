#include "platform/pdh/browser/cascade.h"

#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace vantorel::pdh {

void Cascade::place(QWidget& window) {
    std::erase_if(open_, [](const QPointer<QWidget>& w) { return w.isNull() || !w->isVisible(); });
    if (!open_.empty()) {
        const QWidget& newest = *open_.back();
        const int step = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
        QPoint at = newest.pos() + QPoint(step, step);
        if (const QScreen* screen = newest.screen()) {
            // Past the screen's edge the cascade starts again at its corner.
            const QRect area = screen->availableGeometry();
            if (!area.contains(QRect(at, window.size()))) {
                at = area.topLeft();
            }
        }
        // Never exactly over one still open, wherever the cascade started again.
        for (std::size_t tries = 0; tries < open_.size(); ++tries) {
            const bool taken = std::any_of(open_.begin(), open_.end(),
                                           [&](const QPointer<QWidget>& w) { return w->pos() == at; });
            if (!taken) {
                break;
            }
            at += QPoint(step, step);
        }
        window.move(at);
    }
    open_.emplace_back(&window);
}

}  // namespace vantorel::pdh

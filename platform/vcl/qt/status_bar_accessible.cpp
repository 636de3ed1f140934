#include "platform/vcl/qt/status_bar_accessible.h"

#include <QAccessibleWidget>

#include "platform/vcl/qt/status_bar_widget.h"

namespace vcl_detail {

namespace {

class StatusBarAccessible : public QAccessibleWidget {
public:
    explicit StatusBarAccessible(StatusBarWidget* bar) : QAccessibleWidget(bar, QAccessible::StatusBar) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return static_cast<const StatusBarWidget*>(widget())->tailText();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* statusBarFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("vcl_detail::StatusBarWidget")) return nullptr;
    auto* bar = qobject_cast<StatusBarWidget*>(object);
    return bar ? new StatusBarAccessible(bar) : nullptr;
}

}  // namespace

void installStatusBarAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(statusBarFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace vcl_detail

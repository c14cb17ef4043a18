#include "app/keyfilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

const char* const kFilteredProperty = "vemoDiscardedKeys";

class ScreenKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        const QVariant filtered = widget->window()->property(kFilteredProperty);
        if (!filtered.isValid()) return false;
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape:
                return true;
            case Qt::Key_Space:
                return filtered.toInt() == int(SpaceKey::Discarded);
            default:
                return false;
        }
    }
};

}  // namespace

void InstallScreenKeyFilter(QWidget* screen, SpaceKey space) {
    static ScreenKeyFilter* filter = nullptr;
    if (!filter) {
        filter = new ScreenKeyFilter(qApp);
        qApp->installEventFilter(filter);
    }
    screen->setProperty(kFilteredProperty, int(space));
}

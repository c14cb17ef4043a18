#include "app/keyfilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

const char* const kFilteredProperty = "vemoDiscardsEnterEscSpace";

class ScreenKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->window()->property(kFilteredProperty).toBool()) return false;
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape:
            case Qt::Key_Space:
                return true;
            default:
                return false;
        }
    }
};

}  // namespace

void InstallScreenKeyFilter(QWidget* screen) {
    static ScreenKeyFilter* filter = nullptr;
    if (!filter) {
        filter = new ScreenKeyFilter(qApp);
        qApp->installEventFilter(filter);
    }
    screen->setProperty(kFilteredProperty, true);
}

#include "app/screenflow.h"

#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace screenflow {
namespace {
ScreenFactory& Pending() {
    static ScreenFactory pending;
    return pending;
}
}  // namespace

void Run(ScreenFactory first) {
    ScreenFactory next = std::move(first);
    while (next) {
        std::unique_ptr<QDialog> screen = next();
        Pending() = nullptr;
        screen->exec();
        next = std::move(Pending());
        Pending() = nullptr;
    }
}

void Go(QDialog* from, const QString& screenName, ScreenFactory next) {
    if (seams::Recorder* test = seams::Active()) {
        test->navigations.append({screenName, std::move(next)});
    } else {
        Pending() = std::move(next);
    }
    from->done(QDialog::Accepted);
}

}  // namespace screenflow

void ExitProgram(QWidget* screen) {
    if (screen) {
        if (auto* clock = screen->findChild<QTimer*>(QStringLiteral("timer1"))) clock->stop();
    }
    if (seams::Recorder* test = seams::Active()) {
        ++test->exits;
        return;
    }
    std::fflush(nullptr);
    std::_Exit(0);
}

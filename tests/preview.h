#pragma once

// What the preview programs share: the state to show and for how long, from the command
// line (`program STATE [seconds]`), a fresh sample data folder as the current directory,
// and a run that ends after those seconds, printing the messages the screens showed.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/testseams.h"
#include "app/vemoapp.h"
#include "datafolder.h"

class Preview {
public:
    Preview(int argc, char** argv, const char* defaultState)
        : m_state(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString::fromUtf8(defaultState)),
          m_seconds(argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 5) {
        CVemoApp::PrepareDesktop();
        QDir::setCurrent(m_dir.path());
        QString error;
        if (!CreateDataFolder(".", QDateTime::currentDateTime(), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            std::exit(1);
        }
    }

    const QString& State() const { return m_state; }

    // Runs the event loop for the seconds asked, then prints what `recorder` recorded.
    int Run(const seams::Recorder& recorder) const {
        QTimer::singleShot(m_seconds * 1000, qApp, [&recorder] {
            for (const seams::ShownMessage& m : recorder.messages)
                std::printf("message: %s\n", qPrintable(m.text));
            QCoreApplication::exit(0);
        });
        return QApplication::exec();
    }

private:
    QString m_state;
    int m_seconds;
    QTemporaryDir m_dir;
};

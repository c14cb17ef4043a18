#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

#include "datafolder.h"

// vemo-init DIR: makes a delivered data folder for the program in DIR.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vemo-init DIR\n");
        return 2;
    }
    QString error;
    if (!CreateDataFolder(args[1], QDateTime::currentDateTime(), &error)) {
        std::fprintf(stderr, "vemo-init: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("data folder ready: %s\n", qPrintable(args[1]));
    return 0;
}

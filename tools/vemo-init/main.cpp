#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

#include "data/filemodes.h"
#include "datafolder.h"
#include "sitedata.h"

// vemo-init [--server URL] [--no-sample] DIR: makes a delivered data folder for the
// program in DIR; with --server the data goes to that PostgreSQL database and DIR's
// settings file names it. With --copy-from the server gets the data of an existing
// folder instead of new data.
int main(int argc, char* argv[]) {
    filemodes::KeepFromOthers();
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    DataFolderOptions options;
    const qsizetype noSample = args.indexOf("--no-sample");
    if (noSample >= 0) {
        options.withSamples = false;
        args.removeAt(noSample);
    }
    QString copyFrom;
    const qsizetype copy = args.indexOf("--copy-from");
    if (copy >= 0 && copy + 1 < args.size()) {
        copyFrom = args[copy + 1];
        args.remove(copy, 2);
    }
    const qsizetype server = args.indexOf("--server");
    if (server >= 0 && server + 1 < args.size()) {
        options.serverUrl = args[server + 1];
        args.remove(server, 2);
    }
    if (args.size() != 1 || args[0].startsWith("--") ||
        (!copyFrom.isEmpty() && options.serverUrl.isEmpty())) {
        std::fprintf(stderr,
                     "usage: vemo-init [--server URL] [--no-sample] DIR\n"
                     "       vemo-init --server URL --copy-from DATAFOLDER DIR\n");
        return 2;
    }
    QString error;
    const bool made = copyFrom.isEmpty()
                          ? CreateSiteData(args[0], QDateTime::currentDateTime(), options, &error)
                          : CopyDataFolderToServer(copyFrom, args[0], options.serverUrl, &error);
    if (!made) {
        std::fprintf(stderr, "vemo-init: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("data folder ready: %s\n", qPrintable(args[0]));
    return 0;
}

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

#include "backup.h"
#include "data/filemodes.h"
#include "datafolder.h"
#include "sitedata.h"

namespace {

const char kUsage[] =
    "usage: vemo-init [--server URL] [--no-sample] DIR\n"
    "       vemo-init --server URL --copy-from DATAFOLDER DIR\n"
    "       vemo-init --backup DIR FILE\n"
    "       vemo-init --restore FILE DIR\n";

const char kHelp[] =
    "Makes, backs up and restores data folders of Vemo, the staff examination program.\n"
    "\n"
    "  DIR                  make a data folder with sample data in DIR\n"
    "  --no-sample          without the sample examinees, exam and questions: the tables\n"
    "                       and the initial passwords only (change them at once)\n"
    "  --server URL         keep the data in the PostgreSQL database URL (libpq form) and\n"
    "                       make DIR a station folder that names it\n"
    "  --copy-from FOLDER   with --server: copy the data files of FOLDER to the server\n"
    "  --backup DIR FILE    write a .zip of the data folder DIR, while stations may work\n"
    "  --restore FILE DIR   unpack such a .zip into the empty or new folder DIR\n"
    "  --help               show this help\n"
    "  --version            show the version\n"
    "\n"
    "Existing data files are never overwritten. See vemo-init(1).\n";

int Report(bool done, const QString& error, const QString& message) {
    if (!done) {
        std::fprintf(stderr, "vemo-init: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(message));
    return 0;
}

}  // namespace

// vemo-init [--server URL] [--no-sample] DIR: makes a delivered data folder for the
// program in DIR; with --server the data goes to that PostgreSQL database and DIR's
// settings file names it. With --copy-from the server gets the data of an existing
// folder instead of new data. --backup and --restore write and unpack a folder's archive.
int main(int argc, char* argv[]) {
    filemodes::KeepFromOthers();
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.contains("--help")) {
        std::printf("%s\n%s", kUsage, kHelp);
        return 0;
    }
    if (args.contains("--version")) {
        std::printf("vemo-init %s\n", VEMO_VERSION);
        return 0;
    }
    QString error;
    if (args.size() == 3 && args[0] == "--backup")
        return Report(BackupDataFolder(args[1], args[2], &error), error,
                      "backup written: " + args[2]);
    if (args.size() == 3 && args[0] == "--restore")
        return Report(RestoreDataFolder(args[1], args[2], &error), error,
                      "data folder restored: " + args[2]);
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
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    const bool made = copyFrom.isEmpty()
                          ? CreateSiteData(args[0], QDateTime::currentDateTime(), options, &error)
                          : CopyDataFolderToServer(copyFrom, args[0], options.serverUrl, &error);
    return Report(made, error, "data folder ready: " + args[0]);
}

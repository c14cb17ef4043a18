#include "app/vemoapp.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTranslator>
#include <cstdio>

#include "app/datafolder.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "app/singleinstance.h"
#include "data/workbook.h"
#include "ui/common/workbookwait.h"

void CVemoApp::PrepareDesktop() {
    static bool prepared = false;
    if (prepared) return;
    prepared = true;
    auto* translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    static CWorkbookWait workbookWait;
    SetWorkbookWaitIndicator(&workbookWait);
}

QString CVemoApp::InstanceName() {
    // Tests start copies of the program under a lock of their own, so that they run
    // beside a copy someone has open.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-]{1,64}$"));
    const QString name = qEnvironmentVariable("VEMO_INSTANCE_NAME");
    return plain.match(name).hasMatch() ? name : QStringLiteral("Vemo");
}

namespace {

const char kHelp[] =
    "usage: vemo [--data DIR]\n"
    "Vemo, the staff examination program (考试系统).\n"
    "\n"
    "  --data DIR   work in the data folder DIR\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "The data folder is the current directory when it holds the data files; otherwise\n"
    "the folder of --data, of the environment variable VEMO_DATA, or the one remembered\n"
    "in ~/.config/vemo/vemo.conf, in that order. Without one, a window offers to make a\n"
    "new folder, with or without sample data, to take an existing one or a PostgreSQL\n"
    "server. vemo-init(1) makes, backs up and restores data folders.\n";

}  // namespace

CVemoApp::CommandLine CVemoApp::ParseCommandLine(const QStringList& arguments) {
    CommandLine command;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            command.help = true;
        } else if (argument == QLatin1String("--version")) {
            command.version = true;
        } else if (argument == QLatin1String("--data") ||
                   argument.startsWith(QLatin1String("--data="))) {
            const QString folder = argument.size() > 6        ? argument.mid(7)
                                   : i + 1 < arguments.size() ? arguments[++i]
                                                              : QString();
            if (folder.trimmed().isEmpty() || folder.startsWith('-'))
                command.error = QStringLiteral("--data needs a folder");
            else
                command.dataFolder = folder;
        }
    }
    return command;
}

int CVemoApp::Run(int& argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = ParseCommandLine(arguments);
    if (command.help || command.version) {
        if (command.help)
            std::fputs(kHelp, stdout);
        else
            std::printf("vemo %s\n", VEMO_VERSION);
        return 0;
    }
    if (!command.error.isEmpty()) {
        std::fprintf(stderr, "vemo: %s\n%s", qPrintable(command.error), kHelp);
        return 2;
    }
    // Checked before anything is shown or connected: a second copy just ends.
    SingleInstanceGuard guard(InstanceName());
    if (!guard.Acquire()) return 0;
    QApplication application(argc, argv);
    PrepareDesktop();
    const datafolder::Located located =
        datafolder::Locate({QDir::currentPath(), command.dataFolder,
                            qEnvironmentVariable("VEMO_DATA"), datafolder::Remembered()});
    if (located.holdsData && datafolder::Enter(located.folder))
        screenflow::Run(screens::Factory(screens::Id::Login));
    else
        screenflow::Run(screens::Factory(screens::Id::DataFolder, located.folder));
    return 0;
}

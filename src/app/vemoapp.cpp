#include "app/vemoapp.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTranslator>

#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "app/singleinstance.h"
#include "data/adoconn.h"
#include "data/schema.h"
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
    CADOConn::SetErrorReporter(
        [](const QString& text) { msgbox::AppMessage(QApplication::activeWindow(), text); });
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

int CVemoApp::Run(int& argc, char** argv) {
    // Checked before anything is shown or connected: a second copy just ends.
    SingleInstanceGuard guard(InstanceName());
    if (!guard.Acquire()) return 0;
    QApplication application(argc, argv);
    PrepareDesktop();
    schema::AddMissingIndexes();
    screenflow::Run(screens::Factory(screens::Id::Login));
    return 0;
}

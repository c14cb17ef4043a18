#include "app/vemoapp.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "app/singleinstance.h"
#include "data/adoconn.h"
#include "data/schema.h"

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
}

int CVemoApp::Run(int& argc, char** argv) {
    // Checked before anything is shown or connected: a second copy just ends.
    SingleInstanceGuard guard(QStringLiteral("Vemo"));
    if (!guard.Acquire()) return 0;
    QApplication application(argc, argv);
    PrepareDesktop();
    schema::AddMissingIndexes();
    screenflow::Run(screens::Factory(screens::Id::Login));
    return 0;
}

// Opens the printed-paper window for a stored paper, as paper management does:
//   vemo_wordpaper_preview [PAPER]
// or, without a window, writes the document of a paper into a folder and prints its path:
//   vemo_wordpaper_preview --write FOLDER [PAPER]
// It works in the current directory when that is a data folder (sample-data, made by
// vemo-init), otherwise in a fresh temporary sample folder. PAPER defaults to the sample
// paper 安全生产基础测试.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "app/screens.h"
#include "app/vemoapp.h"
#include "data/adoconn.h"
#include "data/docx.h"
#include "data/schema.h"
#include "datafolder.h"
#include "rules/printedpaper.h"

namespace {

int WriteDocument(const QString& folder, const QString& paperName) {
    assembly::MersenneRandom random;
    printed::CreateEmptyPool();
    const printed::DrawnPaper paper = printed::DrawPaper(paperName, random);
    printed::DropPool();
    if (paper.outcome != printed::Outcome::Drawn) {
        std::fprintf(stderr, "%s\n", qPrintable(printed::OutcomeMessage(paper)));
        return 1;
    }
    QDir().mkpath(folder);
    const printed::PaperForm form{QStringLiteral("%1（纸质考卷）").arg(paperName), "90", "60"};
    const QString path = printed::NewDocumentPath(folder, form.title);
    QString error;
    if (docx::FillTemplate("wordtest.docx", path, printed::DocumentFills(form, paper), &error) !=
        docx::FillResult::Filled) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CVemoApp::PrepareDesktop();
    QStringList args = app.arguments().mid(1);
    QString writeFolder;
    if (args.size() >= 2 && args[0] == QLatin1String("--write")) {
        writeFolder = QDir(args[1]).absolutePath();
        args = args.mid(2);
    }
    const QString paperName = args.value(0, QStringLiteral("安全生产基础测试"));

    QTemporaryDir sample;
    if (!QFile::exists(schema::kQuestionsFile)) {
        QDir::setCurrent(sample.path());
        QString error;
        if (!CreateDataFolder(".", QDateTime::currentDateTime(), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    if (!writeFolder.isEmpty()) return WriteDocument(writeFolder, paperName);
    screens::Open(nullptr, screens::Id::WordPaper, paperName);
    return 0;
}

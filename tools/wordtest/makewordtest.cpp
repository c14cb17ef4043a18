// make-wordtest PARTS OUTPUT: zips the parts of the printed-paper template into OUTPUT.
//
// The template (wordtest.docx) lays out the printed paper: a title block of three
// bookmarks (mark1 title, mark2 the examinee's line, mark3 marks and time), the questions
// at mark4 and, on a page of its own, the answer key (mark5 heading, mark6 answers).
// Its styles use one monospaced face for Latin and Chinese, a Chinese character as wide
// as two Latin ones, since the options of a question are padded into columns.
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <cstdio>

#include "data/ziparchive.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make-wordtest PARTS OUTPUT\n");
        return 2;
    }
    const QDir parts(QDir(args[1]).absolutePath());
    QStringList names;
    QDirIterator it(parts.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) names << parts.relativeFilePath(it.next());
    names.sort();
    // The content types come first, as document engines expect.
    const QString types = QStringLiteral("[Content_Types].xml");
    if (names.removeAll(types) == 1) names.prepend(types);

    QList<ziparchive::Entry> entries;
    for (const QString& name : names) {
        QFile file(parts.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "make-wordtest: cannot read %s\n", qPrintable(file.fileName()));
            return 1;
        }
        entries.append({name, file.readAll()});
    }
    QString error;
    if (!ziparchive::Write(args[2], entries, &error)) {
        std::fprintf(stderr, "make-wordtest: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

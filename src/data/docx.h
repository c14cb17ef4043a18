#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Fills a word-processing document (Office Open XML, .docx) made from a template at its
// named bookmarks, the way a document engine replaces the text of a bookmark's range.
namespace docx {

enum class Alignment { Keep, Centre, Right };

struct BookmarkFill {
    QString bookmark;
    QString text;       // every "\n" starts a new paragraph
    bool bold = false;  // false keeps the template's weight
    int pointSize = 0;  // 0 keeps the template's size
    Alignment alignment = Alignment::Keep;
};

// The main part of a document, where the bookmarks are.
inline const QString kMainPart = QStringLiteral("word/document.xml");
// The namespace of the main part's elements.
inline const QString kWordNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

// Replaces what each bookmark holds with its text, in runs that keep the formatting the
// template gives the bookmark's place plus the fill's own. A bookmark has to start and
// end within one paragraph; its lines become paragraphs of that paragraph's properties,
// whatever stood before it staying at the front of the first and whatever followed at
// the end of the last. Nullopt, with the reason, for XML that cannot be read or a
// bookmark that is missing or spans paragraphs, or elements nested deeper than any
// document needs.
std::optional<QByteArray> FillBookmarks(const QByteArray& mainPartXml,
                                        const QList<BookmarkFill>& fills, QString* error = nullptr);

enum class FillResult { Filled, TemplateDamaged, NotWritten };

// Makes a new document at outputPath from the template with the bookmarks filled. The
// reason for the user goes to `error`: why the template cannot be used, or why the
// document cannot be written.
FillResult FillTemplate(const QString& templatePath, const QString& outputPath,
                        const QList<BookmarkFill>& fills, QString* error = nullptr);

}  // namespace docx

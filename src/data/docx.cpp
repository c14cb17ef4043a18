#include "data/docx.h"

#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <vector>

#include "data/ziparchive.h"

namespace docx {
namespace {

// The main part held as a small tree, so that a paragraph can be seen whole before it is
// rewritten. Comments and processing instructions inside the part are not kept.
struct Node {
    bool isText = false;
    QString text;  // character data of a text node
    QString namespaceUri;
    QString name;
    QXmlStreamNamespaceDeclarations namespaces;
    QXmlStreamAttributes attributes;
    std::vector<Node> children;

    bool Is(const char* wordName) const {
        return !isText && namespaceUri == kWordNamespace && name == QLatin1String(wordName);
    }
    QString WordAttribute(const char* attribute) const {
        return attributes.value(kWordNamespace, QLatin1String(attribute)).toString();
    }
};

Node WordElement(const char* name) {
    Node node;
    node.namespaceUri = kWordNamespace;
    node.name = QLatin1String(name);
    return node;
}

Node WordElement(const char* name, const char* attribute, const QString& value) {
    Node node = WordElement(name);
    node.attributes.append(kWordNamespace, QLatin1String(attribute), value);
    return node;
}

// Filling in, writing out and freeing the tree recurse along its depth; real documents
// nest a few dozen levels, tables in tables included.
constexpr int kDepthLimit = 256;

std::optional<Node> Parse(const QByteArray& xml, QString* error) {
    QXmlStreamReader reader(xml);
    Node document;
    std::vector<Node*> open = {&document};
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement: {
                if (open.size() > kDepthLimit) {
                    if (error)
                        *error =
                            QStringLiteral("%1的元素嵌套超过%2层").arg(kMainPart).arg(kDepthLimit);
                    return std::nullopt;
                }
                Node element;
                element.namespaceUri = reader.namespaceUri().toString();
                element.name = reader.name().toString();
                element.namespaces = reader.namespaceDeclarations();
                element.attributes = reader.attributes();
                open.back()->children.push_back(std::move(element));
                open.push_back(&open.back()->children.back());
                break;
            }
            case QXmlStreamReader::EndElement:
                open.pop_back();
                break;
            case QXmlStreamReader::Characters: {
                Node text;
                text.isText = true;
                text.text = reader.text().toString();
                open.back()->children.push_back(std::move(text));
                break;
            }
            default:
                break;
        }
    }
    if (reader.hasError()) {
        if (error)
            *error =
                QStringLiteral("%1第%2行不是有效的XML").arg(kMainPart).arg(reader.lineNumber());
        return std::nullopt;
    }
    return document;
}

void WriteNode(QXmlStreamWriter& writer, const Node& node) {
    if (node.isText) {
        writer.writeCharacters(node.text);
        return;
    }
    // Declared before the start tag, the prefixes are those of the template, which
    // attribute values such as mc:Ignorable name.
    for (const QXmlStreamNamespaceDeclaration& declaration : node.namespaces) {
        if (declaration.prefix().isEmpty())
            writer.writeDefaultNamespace(declaration.namespaceUri().toString());
        else
            writer.writeNamespace(declaration.namespaceUri().toString(),
                                  declaration.prefix().toString());
    }
    writer.writeStartElement(node.namespaceUri, node.name);
    writer.writeAttributes(node.attributes);
    for (const Node& child : node.children) WriteNode(writer, child);
    writer.writeEndElement();
}

QByteArray Serialize(const Node& document) {
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    for (const Node& child : document.children) WriteNode(writer, child);
    writer.writeEndDocument();
    return xml;
}

// Property elements follow a fixed order in the schema; a document engine may refuse a
// document whose properties stand out of order.
const QStringList& RunPropertyOrder() {
    static const QStringList order =
        QStringLiteral(
            "rStyle rFonts b bCs i iCs caps smallCaps strike dstrike outline shadow emboss "
            "imprint noProof snapToGrid vanish webHidden color spacing w kern position sz "
            "szCs highlight u effect bdr shd fitText vertAlign rtl cs em lang "
            "eastAsianLayout specVanish oMath rPrChange")
            .split(' ');
    return order;
}

const QStringList& ParagraphPropertyOrder() {
    static const QStringList order =
        QStringLiteral(
            "pStyle keepNext keepLines pageBreakBefore framePr widowControl numPr "
            "suppressLineNumbers pBdr shd tabs suppressAutoHyphens kinsoku wordWrap "
            "overflowPunct topLinePunct autoSpaceDE autoSpaceDN bidi adjustRightInd "
            "snapToGrid spacing ind contextualSpacing mirrorIndents suppressOverlap jc "
            "textDirection textAlignment textboxTightWrap outlineLvl divId cnfStyle rPr "
            "sectPr pPrChange")
            .split(' ');
    return order;
}

// Puts `property` into the properties element in its schema place, replacing one of the
// same name.
void SetProperty(Node& properties, Node property, const QStringList& order) {
    auto& children = properties.children;
    children.erase(
        std::remove_if(children.begin(), children.end(),
                       [&](const Node& c) { return !c.isText && c.name == property.name; }),
        children.end());
    const qsizetype rank = order.indexOf(property.name);
    auto at = children.begin();
    while (at != children.end() && (at->isText || order.indexOf(at->name) < rank)) ++at;
    children.insert(at, std::move(property));
}

const Node* FindChild(const Node& node, const char* wordName) {
    for (const Node& child : node.children)
        if (child.Is(wordName)) return &child;
    return nullptr;
}

// The run properties the template gives the bookmark's place: those of its first run
// inside, else of the last run before it.
Node PlaceRunProperties(const std::vector<Node>& before, const std::vector<Node>& inside) {
    for (const Node& child : inside)
        if (child.Is("r")) {
            const Node* properties = FindChild(child, "rPr");
            return properties ? *properties : WordElement("rPr");
        }
    for (auto it = before.rbegin(); it != before.rend(); ++it)
        if (it->Is("r")) {
            const Node* properties = FindChild(*it, "rPr");
            return properties ? *properties : WordElement("rPr");
        }
    return WordElement("rPr");
}

// One line of text as a run; tabs become tab elements.
Node Run(const Node& properties, const QString& line) {
    Node run = WordElement("r");
    if (!properties.children.empty()) run.children.push_back(properties);
    const QStringList pieces = line.split('\t');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) run.children.push_back(WordElement("tab"));
        if (pieces[i].isEmpty()) continue;
        Node text = WordElement("t");
        text.attributes.append(QStringLiteral("http://www.w3.org/XML/1998/namespace"),
                               QStringLiteral("space"), QStringLiteral("preserve"));
        Node characters;
        characters.isText = true;
        characters.text = pieces[i];
        text.children.push_back(std::move(characters));
        run.children.push_back(std::move(text));
    }
    return run;
}

QXmlStreamAttributes WithoutParagraphIds(const QXmlStreamAttributes& attributes) {
    QXmlStreamAttributes kept;
    for (const QXmlStreamAttribute& attribute : attributes)
        if (attribute.name() != QLatin1String("paraId") &&
            attribute.name() != QLatin1String("textId"))
            kept.append(attribute);
    return kept;
}

// Text as XML 1.0 may hold it, with every line end a "\n".
QString CleanText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != '\n' && c != '\t'; });
    return text;
}

std::optional<std::vector<Node>> FillParagraph(const Node& paragraph, qsizetype startIndex,
                                               const BookmarkFill& fill, QString* error) {
    const auto& children = paragraph.children;
    const QString id = children[startIndex].WordAttribute("id");
    qsizetype endIndex = startIndex + 1;
    while (endIndex < qsizetype(children.size()) &&
           !(children[endIndex].Is("bookmarkEnd") && children[endIndex].WordAttribute("id") == id))
        ++endIndex;
    if (endIndex == qsizetype(children.size())) {
        if (error) *error = QStringLiteral("书签%1没有在它的段落中结束").arg(fill.bookmark);
        return std::nullopt;
    }

    Node paragraphProperties = WordElement("pPr");
    std::vector<Node> before, inside, after;
    for (qsizetype i = 0; i < qsizetype(children.size()); ++i) {
        const Node& child = children[i];
        if (child.Is("pPr"))
            paragraphProperties = child;
        else if (i < startIndex)
            before.push_back(child);
        else if (i > startIndex && i < endIndex)
            inside.push_back(child);
        else if (i > endIndex)
            after.push_back(child);
    }
    Node runProperties = PlaceRunProperties(before, inside);
    if (fill.bold) {
        SetProperty(runProperties, WordElement("b"), RunPropertyOrder());
        SetProperty(runProperties, WordElement("bCs"), RunPropertyOrder());
    }
    if (fill.pointSize > 0) {
        const QString halfPoints = QString::number(fill.pointSize * 2);
        SetProperty(runProperties, WordElement("sz", "val", halfPoints), RunPropertyOrder());
        SetProperty(runProperties, WordElement("szCs", "val", halfPoints), RunPropertyOrder());
    }
    if (fill.alignment != Alignment::Keep) {
        const QString value = fill.alignment == Alignment::Centre ? "center" : "right";
        SetProperty(paragraphProperties, WordElement("jc", "val", value), ParagraphPropertyOrder());
    }

    const QStringList lines = CleanText(fill.text).split('\n');
    std::vector<Node> paragraphs;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Node line = paragraph;
        line.children.clear();
        // Paragraph ids are unique within a document: only the first line keeps them.
        if (i > 0) line.attributes = WithoutParagraphIds(paragraph.attributes);
        if (!paragraphProperties.children.empty() || !paragraphProperties.attributes.isEmpty())
            line.children.push_back(paragraphProperties);
        if (i == 0) {
            line.children.insert(line.children.end(), before.begin(), before.end());
            line.children.push_back(children[startIndex]);
        }
        if (!lines[i].isEmpty()) line.children.push_back(Run(runProperties, lines[i]));
        if (i == lines.size() - 1) {
            line.children.push_back(children[endIndex]);
            line.children.insert(line.children.end(), after.begin(), after.end());
        }
        paragraphs.push_back(std::move(line));
    }
    return paragraphs;
}

// The index of the fill whose bookmark starts in this paragraph, with the start's index.
std::pair<qsizetype, qsizetype> BookmarkIn(const Node& paragraph,
                                           const QList<BookmarkFill>& fills) {
    for (qsizetype i = 0; i < qsizetype(paragraph.children.size()); ++i) {
        const Node& child = paragraph.children[i];
        if (!child.Is("bookmarkStart")) continue;
        const QString name = child.WordAttribute("name");
        for (qsizetype f = 0; f < fills.size(); ++f)
            if (fills[f].bookmark == name) return {f, i};
    }
    return {-1, -1};
}

bool FillIn(Node& node, const QList<BookmarkFill>& fills, QList<bool>& filled, QString* error) {
    std::vector<Node> children;
    for (Node& child : node.children) {
        if (child.Is("p")) {
            const auto [fill, start] = BookmarkIn(child, fills);
            if (fill >= 0) {
                const auto paragraphs = FillParagraph(child, start, fills[fill], error);
                if (!paragraphs) return false;
                filled[fill] = true;
                children.insert(children.end(), paragraphs->begin(), paragraphs->end());
                continue;
            }
        } else if (!child.isText && !FillIn(child, fills, filled, error)) {
            return false;
        }
        children.push_back(std::move(child));
    }
    node.children = std::move(children);
    return true;
}

}  // namespace

std::optional<QByteArray> FillBookmarks(const QByteArray& mainPartXml,
                                        const QList<BookmarkFill>& fills, QString* error) {
    std::optional<Node> document = Parse(mainPartXml, error);
    if (!document) return std::nullopt;
    QList<bool> filled(fills.size(), false);
    if (!FillIn(*document, fills, filled, error)) return std::nullopt;
    const qsizetype missing = filled.indexOf(false);
    if (missing >= 0) {
        if (error) *error = QStringLiteral("缺少书签%1").arg(fills[missing].bookmark);
        return std::nullopt;
    }
    return Serialize(*document);
}

FillResult FillTemplate(const QString& templatePath, const QString& outputPath,
                        const QList<BookmarkFill>& fills, QString* error) {
    std::optional<QList<ziparchive::Entry>> parts = ziparchive::Read(templatePath, error);
    if (!parts) return FillResult::TemplateDamaged;
    for (ziparchive::Entry& part : *parts) {
        if (part.name != kMainPart) continue;
        const std::optional<QByteArray> filled = FillBookmarks(part.data, fills, error);
        if (!filled) return FillResult::TemplateDamaged;
        part.data = *filled;
        return ziparchive::Write(outputPath, *parts, error) ? FillResult::Filled
                                                            : FillResult::NotWritten;
    }
    if (error) *error = QStringLiteral("缺少%1").arg(kMainPart);
    return FillResult::TemplateDamaged;
}

}  // namespace docx

#include "rules/scoresheet.h"

#include "data/gbk.h"

namespace scoresheet {
namespace {

struct Column {
    int x;
    int width;
    const char* heading;
};
const Column kNumber{40, 40, "序号"};
const Column kName{80, 114, "姓 名"};
const Column kDepartment{194, 114, "部 门"};
const Column kPosition{308, 114, "职 务"};
const Column kScore{422, 60, "得分"};
const Column kVerdict{482, 40, "合格"};
const Column kTimes{522, 90, "考试时间"};

// The longest start of `text` that fits `bytes` GB18030 bytes without splitting a
// character (surrogate pairs and four-byte characters included).
QString TakeBytes(const QString& text, int bytes, int* taken) {
    int used = 0;
    int end = 0;
    while (end < text.size()) {
        const int next = text[end].isHighSurrogate() && end + 1 < text.size() ? end + 2 : end + 1;
        const int length = int(ToGbk(text.mid(end, next - end)).size());
        if (used + length > bytes) break;
        used += length;
        end = next;
    }
    *taken = end;
    return text.left(end);
}

Cell Single(const Column& column, int y, const QString& text) {
    return {QRect(column.x, y, column.width, kRowHeight), CellKind::SingleLine, text, QString()};
}

Cell Wrapping(const Column& column, int y, const QString& text) {
    const QStringList lines = WrapLines(text);
    if (lines.size() == 1) return Single(column, y, text);
    return {QRect(column.x, y, column.width, kRowHeight), CellKind::Wrapped, lines[0], lines[1]};
}

}  // namespace

int RowY(int row) {
    return kFirstRowY + kRowHeight * row;
}

int FooterY(int rows) {
    return rows > 17 ? 892 : 280 + kRowHeight * rows;
}

QStringList WrapLines(const QString& text) {
    if (ToGbk(text).size() < kWrapBytes) return {text};
    int taken = 0;
    const QString first = TakeBytes(text, kLineBytes, &taken);
    const QString second = TakeBytes(text.mid(taken), kLineBytes, &taken);
    return {first, second};
}

Layout LayOut(const ScoreSheet& sheet, const QDate& today) {
    Layout layout;
    layout.date = today.toString(QStringLiteral("yyyy.MM.dd"));
    layout.examLine = QStringLiteral("考试名称：") + sheet.examName;
    layout.paperLine = QStringLiteral("(试卷名称：%1)").arg(sheet.paperName);

    for (const Column* column : {&kNumber, &kName, &kDepartment, &kPosition, &kScore, &kVerdict})
        layout.cells.push_back(Single(*column, kHeaderY, QString::fromUtf8(column->heading)));
    if (sheet.showTimeUsed)
        layout.cells.push_back({QRect(kTimes.x, kHeaderY, kTimes.width, kRowHeight),
                                CellKind::TwoLine, QStringLiteral("考试用时"),
                                QStringLiteral("考试时间")});
    else
        layout.cells.push_back(Single(kTimes, kHeaderY, QString::fromUtf8(kTimes.heading)));

    for (int i = 0; i < sheet.rows.size(); ++i) {
        const ScoreSheet::Row& row = sheet.rows[i];
        const int y = RowY(i);
        layout.cells.push_back(Single(kNumber, y, row.number));
        layout.cells.push_back(Wrapping(kName, y, row.name));
        layout.cells.push_back(Wrapping(kDepartment, y, row.department));
        layout.cells.push_back(Wrapping(kPosition, y, row.position));
        layout.cells.push_back(Single(kScore, y, row.score));
        layout.cells.push_back(Single(kVerdict, y, row.verdict));
        if (sheet.showTimeUsed)
            layout.cells.push_back({QRect(kTimes.x, y, kTimes.width, kRowHeight), CellKind::TwoLine,
                                    row.timeUsed, row.date});
        else
            layout.cells.push_back(Single(kTimes, y, row.date));
    }
    layout.footerY = FooterY(int(sheet.rows.size()));
    return layout;
}

QString FooterCaption() {
    return QStringLiteral("Vemo 员工考试中心");
}

QString PicturePath(const QString& chosen) {
    if (chosen.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)) return chosen;
    return chosen + QStringLiteral(".bmp");
}

}  // namespace scoresheet

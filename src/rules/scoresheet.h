#pragma once

#include <QDate>
#include <QList>
#include <QMetaType>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

// What the score query hands the score sheet: the chosen examinees of one exam, in the
// order of the query's list.
struct ScoreSheet {
    struct Row {
        QString number;  // 序号 as listed (the rank after 成绩排名)
        QString name;
        QString department;
        QString position;
        QString score;
        QString verdict;   // "是", "否" or "不定"
        QString timeUsed;  // hh:mm:ss
        QString date;      // the date part of the hand-in time
    };
    QList<Row> rows;
    bool showTimeUsed = false;
    QString examName;
    QString paperName;
};
Q_DECLARE_METATYPE(ScoreSheet)

// Where everything sits on the 656 × 928 score sheet. Drawing follows this layout for
// the screen and for the saved picture alike.
namespace scoresheet {

constexpr int kWidth = 656;
constexpr int kHeight = 928;
constexpr int kRowHeight = 34;
constexpr int kHeaderY = 168;
constexpr int kFirstRowY = 202;
constexpr int kFooterRight = 556;
// A name, department or position of this many GB18030 bytes or more wraps.
constexpr int kWrapBytes = 15;
constexpr int kLineBytes = 14;

enum class CellKind {
    SingleLine,  // centred, one line at y + 10
    TwoLine,     // both lines from the first line's centred start, at y + 2 and y + 18
    Wrapped,     // left-aligned at x + 5, at y + 2 and y + 18
};

struct Cell {
    QRect rect;
    CellKind kind = CellKind::SingleLine;
    QString line1;
    QString line2;
};

struct Layout {
    QString date;       // today, "yyyy.MM.dd", at (490, 102)
    QString examLine;   // at (108, 120)
    QString paperLine;  // at (108, 146)
    std::vector<Cell> cells;
    int footerY = 0;  // the caption ends at x = kFooterRight
};

int RowY(int row);
int FooterY(int rows);
// The lines of a name, department or position cell: one line when shorter than 15
// bytes, else up to 14 bytes per line on two lines (the rest is not shown). A line
// never ends inside a character, whatever its byte length.
QStringList WrapLines(const QString& text);
Layout LayOut(const ScoreSheet& sheet, const QDate& today);

QString FooterCaption();
// The file a chosen name is saved to: ".bmp" appended unless the name ends in it.
QString PicturePath(const QString& chosen);

}  // namespace scoresheet

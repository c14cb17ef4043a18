#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

// Manual entry of one question: the checks of the form, the row stored per type, the
// duplicate test on what would be stored, and storing the row with its picture.
namespace entry {

// What the form holds when 添加 is pressed.
struct Draft {
    QString subject;
    QString type;
    QString stem;
    QStringList options;  // the texts of the five option edits, A to E
    QString answerText;   // the answer edit, whatever the type (hidden for 判断题)
    QString trueFalse;    // "A" or "B" from the 判断题 list, or empty
    QString difficulty;
    QString group;
};

enum class Refusal {
    None,
    NoType,         // 请选择题型！
    EmptyFields,    // 添加数据不能为空！
    EmptyChoices,   // 数据选择不能为空！ (判断题)
    SpaceInAnswer,  // a space in an answer that is not an essay's
    BarInAnswer,    // '|' separates answers in the answer key
};

// The first refusal of the form, in the order the user is told.
Refusal Check(const Draft& draft);
QString RefusalText(Refusal refusal);
// "Vemo提醒" for a missing choice or field, "Vemo提示" for the answer checks.
bool IsReminder(Refusal refusal);

// The columns written for the draft's type and their values, in writing order:
// 科目, 题型, 题干, 难度, 对象, then A–E and 答案 (choice), A "正确", B "错误" and the
// chosen letter (判断题), or 答案 alone (填空题, 问答题). The answer is kept as typed.
QList<QPair<QString, QString>> StoredColumns(const Draft& draft);

// Whether the type's table already holds a question with the same subject, type,
// stem, answer and options as the draft would be stored with (a column the type does
// not write compares as empty). A database failure raises DatabaseError.
bool IsDuplicate(const Draft& draft);

// Writes the question's picture as a BMP file at the path given; false when it
// cannot be written.
using PictureWriter = std::function<bool(const QString& path)>;

enum class StoreOutcome { Stored, PictureNotWritten };

// Stores the draft in its type's table; with a picture writer, also the picture as
// QuestionMap/<type><ID>.bmp (making the folder when missing) and its name in 图片.
// Row, picture name and file are stored together or not at all. A database failure
// raises DatabaseError. Returns the new ID through `id` when stored.
StoreOutcome Store(const Draft& draft, const PictureWriter& writePicture, qlonglong* id = nullptr);

// Pictures are chosen by their lower-case extension: jpg, jpeg or bmp.
bool IsPictureFile(const QString& path);

}  // namespace entry

#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>
#include <vector>

// The question bank browser: the matches of the checked types, in the fixed type order
// and numbered across them, read one page of fifty at a time straight from the bank
// tables; deleting one question with its picture.
namespace bank {

constexpr int kPageSize = 50;

struct Filter {
    QStringList types;  // any of the five; read in the fixed order whatever the order here
    QString subject;    // exact match; empty for any
    QString keyword;    // anywhere in the stem; empty for any
};

struct Statement {
    QString sql;
    QVariantList params;
};

// The condition of one type's matches, " where ..." with its values, for the type's
// table: the type itself, and the subject and keyword where given.
Statement MatchCondition(const QString& type, const Filter& filter);
// What a page runs for each type: the number of its matches ("行数"), and a slice of them
// in key order (the condition's values, then the limit and the offset).
QString CountStatement(const QString& type, const Statement& condition);
QString SliceStatement(const QString& type, const Statement& condition);

// One listed question: 序号, then 科目, 题型, 题干, 答案, A–E, 难度, 对象, and the ID
// in its own table.
struct ListedQuestion {
    int number = 0;
    QStringList cells;  // the eleven columns from 科目 to 对象
    QString id;
};

struct Page {
    int matches = 0;                   // over all checked types
    std::vector<ListedQuestion> rows;  // the rows of the page asked for, maybe none
};

// The subjects of table Subject, in stored order.
QStringList Subjects();

// Matches of the filter and the rows of `page` (1-based). A database failure raises
// DatabaseError.
Page QueryPage(const Filter& filter, int page);

int PageCount(int matches);
// "第 2 页  共 3 页"
QString PageLabel(int page, int pageCount);

enum class PagingButton { First, Previous, Next, Last };
// The page a paging button asks the query for, or nullopt when the button does nothing.
// >> asks again for the last page when it is already there.
std::optional<int> PageAfter(PagingButton button, int page, int pageCount);

// The picture file of a question's picture name ("单选题17").
QString PicturePath(const QString& pictureName);

// Deletes one question of a type's table by its ID text, then its picture file
// type + ID + ".bmp"; true when a picture file was deleted. A database failure raises
// DatabaseError and leaves the picture.
bool DeleteQuestion(const QString& type, const QString& idText);

}  // namespace bank

#include "rules/questionbank.h"

#include <QFile>
#include <algorithm>

#include "data/adoconn.h"
#include "data/questiontype.h"
#include "data/schema.h"

namespace bank {
namespace {

const QStringList kListedColumns = {"科目", "题型", "题干", "答案", "A",   "B",
                                    "C",    "D",    "E",    "难度", "对象"};

// The keyword is plain text: its % and _ match themselves.
QString LikePattern(const QString& keyword) {
    QString escaped = keyword;
    escaped.replace('\\', "\\\\").replace('%', "\\%").replace('_', "\\_");
    return '%' + escaped + '%';
}

int Count(CADOConn& conn, const QString& type, const Statement& condition) {
    auto rs = conn.OpenRecordset(CountStatement(type, condition), schema::kQuestionsFile,
                                 condition.params);
    rs->MoveFirst();
    return rs->GetCollect("行数").toInt();
}

void AppendSlice(CADOConn& conn, const QString& type, const Statement& condition, int offset,
                 int limit, int firstNumber, std::vector<ListedQuestion>& rows) {
    QVariantList params = condition.params;
    params << limit << offset;
    auto rs = conn.OpenRecordset(SliceStatement(type, condition), schema::kQuestionsFile, params);
    int number = firstNumber;
    for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) {
        ListedQuestion row;
        row.number = number++;
        for (const QString& column : kListedColumns) row.cells << rs->GetText(column);
        row.id = rs->GetText("ID");
        rows.push_back(std::move(row));
    }
}

}  // namespace

QString CountStatement(const QString& type, const Statement& condition) {
    return "select count(*) as 行数 from " + type + condition.sql;
}

QString SliceStatement(const QString& type, const Statement& condition) {
    return "select ID," + kListedColumns.join(',') + " from " + type + condition.sql +
           " order by ID limit ? offset ?";
}

Statement MatchCondition(const QString& type, const Filter& filter) {
    Statement condition{QStringLiteral(" where "), {}};
    if (!filter.keyword.isEmpty()) {
        condition.sql += "题干 like ? escape '\\' and ";
        condition.params << LikePattern(filter.keyword);
    }
    if (!filter.subject.isEmpty()) {
        condition.sql += "科目=? and ";
        condition.params << filter.subject;
    }
    condition.sql += "题型=?";
    condition.params << type;
    return condition;
}

QStringList Subjects() {
    CADOConn conn;
    auto rs = conn.OpenRecordset(QStringLiteral("select * from Subject"), schema::kQuestionsFile);
    QStringList subjects;
    for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) subjects << rs->GetText("科目");
    return subjects;
}

Page QueryPage(const Filter& filter, int page) {
    CADOConn conn;
    Page result;
    const int first = (page - 1) * kPageSize;  // index of the page's first row over all types
    const int end = first + kPageSize;
    for (const QString& type : qtype::Names()) {
        if (!filter.types.contains(type)) continue;
        const Statement condition = MatchCondition(type, filter);
        const int matches = Count(conn, type, condition);
        const int typeStart = result.matches;
        result.matches += matches;
        const int from = std::max(first, typeStart), to = std::min(end, result.matches);
        if (from < to)
            AppendSlice(conn, type, condition, from - typeStart, to - from, from + 1, result.rows);
    }
    return result;
}

int PageCount(int matches) {
    return (matches + kPageSize - 1) / kPageSize;
}

QString PageLabel(int page, int pageCount) {
    return QStringLiteral("第 %1 页  共 %2 页").arg(page).arg(pageCount);
}

std::optional<int> PageAfter(PagingButton button, int page, int pageCount) {
    switch (button) {
        case PagingButton::First:
            return page == 1 ? std::nullopt : std::optional<int>(1);
        case PagingButton::Previous:
            return page > 1 ? std::optional<int>(page - 1) : std::nullopt;
        case PagingButton::Next:
            return page + 1 > pageCount ? page : page + 1;
        case PagingButton::Last:
            return page == pageCount ? std::nullopt : std::optional<int>(pageCount);
    }
    return std::nullopt;
}

QString PicturePath(const QString& pictureName) {
    return "QuestionMap/" + pictureName + ".bmp";
}

bool DeleteQuestion(const QString& type, const QString& idText) {
    if (!qtype::Names().contains(type))
        throw DatabaseError(QStringLiteral("未知的题型“%1”").arg(type));
    CADOConn conn;
    conn.ExecuteStatement("delete from " + type + " where ID=?", schema::kQuestionsFile,
                               {idText.toLongLong()});
    return QFile::remove(PicturePath(type + idText));
}

}  // namespace bank

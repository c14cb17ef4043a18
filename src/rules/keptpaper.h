#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <vector>

// The drawn paper with the examinee's answers, kept in memory beside the scratch table
// `exam` of personnel.mdb. On a server that table is a temporary table of the station's
// session and goes with a lost connection; the kept copy puts it back for the hand-in.
class KeptPaper {
public:
    // Reads every row of `exam`; false, keeping nothing, when it cannot be read.
    bool Load();
    // 题型 of question n; empty when there is no such question.
    QString Type(int n) const;
    QVariant Answer(int n) const;
    // An invalid QVariant keeps NULL.
    void SetAnswer(int n, const QVariant& answer);
    // Makes `exam` anew and writes every kept row into it, in one transaction; false with
    // the reason when that fails.
    bool Restore(QString* error);

private:
    int RowOf(int n) const;  // -1 when there is no question n

    QStringList m_columns;
    std::vector<QVariantList> m_rows;
    int m_number = -1, m_type = -1, m_answer = -1;
};

#include "rules/keptpaper.h"

#include "data/adoconn.h"
#include "data/intransaction.h"
#include "data/schema.h"

bool KeptPaper::Load() {
    m_columns.clear();
    m_rows.clear();
    try {
        CADOConn conn;
        const RecordsetPtr rs = conn.OpenRecordset("select * from exam", schema::kPersonnelFile);
        const QStringList columns = rs->Columns();
        std::vector<QVariantList> rows;
        for (; !rs->IsEOF(); rs->MoveNext()) {
            QVariantList row;
            for (const QString& column : columns) row << rs->GetCollect(column);
            rows.push_back(std::move(row));
        }
        // The server gives unquoted names in lower case.
        auto index = [&columns](const QString& name) {
            for (int i = 0; i < columns.size(); ++i)
                if (columns[i].compare(name, Qt::CaseInsensitive) == 0) return i;
            return -1;
        };
        m_number = index(QStringLiteral("编号"));
        m_type = index(QStringLiteral("题型"));
        m_answer = index(QStringLiteral("答题"));
        if (m_number < 0 || m_type < 0 || m_answer < 0) return false;
        m_columns = columns;
        m_rows = std::move(rows);
        return true;
    } catch (const DatabaseError&) {
        return false;
    }
}

int KeptPaper::RowOf(int n) const {
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i][m_number].toInt() == n) return int(i);
    return -1;
}

QString KeptPaper::Type(int n) const {
    const int row = RowOf(n);
    return row >= 0 ? m_rows[row][m_type].toString() : QString();
}

QVariant KeptPaper::Answer(int n) const {
    const int row = RowOf(n);
    return row >= 0 ? m_rows[row][m_answer] : QVariant();
}

void KeptPaper::SetAnswer(int n, const QVariant& answer) {
    const int row = RowOf(n);
    if (row >= 0) m_rows[row][m_answer] = answer;
}

bool KeptPaper::Restore(QString* error) {
    const QString file = schema::kPersonnelFile;
    QString marks;
    for (int i = 0; i < m_columns.size(); ++i)
        marks += i ? QStringLiteral(",?") : QStringLiteral("?");
    const QString insert = "insert into exam(" + m_columns.join(',') + ") values(" + marks + ")";
    try {
        InTransaction(file, [&](CADOConn& conn) {
            schema::RecreateScratchTable(conn, file, schema::kCreateExam, schema::kDropExam);
            for (const QVariantList& row : m_rows)
                conn.ExecuteStatement(insert, file, row);
        });
    } catch (const DatabaseError& e) {
        if (error) *error = QString::fromUtf8(e.what());
        return false;
    }
    return true;
}

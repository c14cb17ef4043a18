#pragma once

#include <QDialog>

class QTableWidget;

// 试题分析 of one exam from its answer sheets: for every bank question drawn, how often,
// its facility, discrimination and correlation with the total score, how often each
// option was chosen, and flags for questions too easy, too hard or not telling strong
// from weak examinees apart. Every column sorts; the table exports to .xlsx as shown.
class CItemAnalysis : public QDialog {
    Q_OBJECT
public:
    explicit CItemAnalysis(const QString& examName, QWidget* parent = nullptr);

    QTableWidget* Table() const { return m_table; }

    enum Column {
        kTypeColumn,
        kIdColumn,
        kSubjectColumn,
        kStemColumn,
        kDrawnColumn,
        kGradedColumn,
        kFacilityColumn,
        kDiscriminationColumn,
        kPointBiserialColumn,
        kOptionAColumn,  // A..E follow
        kFlagsColumn = kOptionAColumn + 5,
        kColumnCount,
    };

private:
    void Fill(const QString& examName);

    QString m_examName;
    QTableWidget* m_table;
};

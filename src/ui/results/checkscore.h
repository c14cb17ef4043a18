#pragma once

#include <QDialog>
#include <vector>

#include "rules/results.h"

class CCheckTable;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The exam administrator's score query: stored results by name, department, position
// and exam, the ranking of one exam, and the choice of examinees for a score sheet.
// Nothing is listed before the counters and score codes have been checked.
class CCheckScore : public QDialog {
    Q_OBJECT
public:
    explicit CCheckScore(QWidget* parent = nullptr);

    CCheckTable* ScoreList() const { return m_list; }

    // Columns of the list.
    enum Column {
        kTickColumn,
        kNumberColumn,
        kRankColumn,  // shown in the ranking only
        kNameColumn,
        kDepartmentColumn,
        kPositionColumn,
        kScoreColumn,
        kVerdictColumn,
        kTimeUsedColumn,
        kHandInColumn,
        kExamNameColumn,
    };

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();
    // False after the tamper notice, the program then ending.
    bool IntegrityHolds();
    bool IntegrityHolds(results::Integrity integrity);
    void Query();
    void Rank();
    void ShowAll();
    void ClearCriteria();
    void Export();
    void Fill(std::vector<results::ScoreRow> rows, const QStringList& ranks = {});
    void ExportWorkbook();
    // 查看答卷 for the one ticked row.
    void ShowAnswerSheet();
    QString TickedRegistration() const;
    template <class Handler>
    void Guarded(Handler&& handler);

    QLineEdit* m_name;          // 1275
    QComboBox* m_department;    // 1277
    QComboBox* m_position;      // 1279
    QComboBox* m_examName;      // 1202
    CCheckTable* m_list;        // 1273
    QCheckBox* m_showTimeUsed;  // 1221
    QLabel* m_reminder;         // 1268
    QPushButton* m_grade;       // 1292
    QPushButton* m_answerSheet;
    std::vector<QString> m_registrationIds;  // of the listed rows, in list order
};

#pragma once

#include <QDialog>
#include <QList>

class CTypeSection;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Paper composition: a paper holds draw rules per question type, not questions. A
// paper of one subject (单科) or of all subjects (全科) is saved in one go; a 多科 paper
// is saved subject by subject and closed by 多科完成, and the screen cannot be left
// while its subjects are being collected.
class CSetPaper : public QDialog {
    Q_OBJECT
public:
    explicit CSetPaper(QWidget* parent = nullptr);

    // The sections in the storage order 单选题, 判断题, 填空题, 多选题, 问答题.
    CTypeSection* Section(const QString& type) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildUpperArea();
    void BuildSections();
    void BuildLowerArea();

    void ChooseMode(const QString& mode);
    void ClearOptions();
    void NameEdited();
    void SubjectChanged();
    void RecountAll();
    void ResetAll();
    void ResetSections();
    void ShowTotals();
    void Save();
    bool AskFirstSubject();
    void AskLaterSubject(const QString& name, int ordinal);
    void BackToIdle();
    void CompleteMultiSubject();
    bool RefuseLeaving();

    QString m_mode;
    bool m_collecting = false;  // a 多科 paper has subjects saved but is not complete

    QLineEdit* m_name;                // 1330
    QComboBox* m_subject;             // 1331
    QComboBox* m_group;               // 1332
    QPushButton* m_clearOptions;      // 1256
    QList<QRadioButton*> m_modes;     // 1211, 1212, 1214
    QList<CTypeSection*> m_sections;  // storage order
    QLineEdit* m_totalQuestions;      // 1126
    QLineEdit* m_fullMarks;           // 1130
    QPushButton* m_complete;          // 1135
};

#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QTableView;
class CExamineeListModel;

// The exam administrator's home screen: the examinee registry (search, list, add,
// delete, import) and the way on to exam management and score query.
class CExamManager : public QDialog {
    Q_OBJECT
public:
    explicit CExamManager(QWidget* parent = nullptr);
    ~CExamManager() override;

    QTableView* ExamineeList() const { return m_list; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();
    void Search();
    void ShowAll();
    void Add();
    void DeleteAll();
    void DeleteRow(int row);
    void ClearSearchFields();
    void ClearAddFields();
    void Import();
    void OpenTemplate();

    QLineEdit* m_searchName;        // 1032
    QComboBox* m_searchDepartment;  // 1033
    QComboBox* m_searchPosition;    // 1036
    QComboBox* m_addDepartment;     // 1039
    QComboBox* m_addPosition;       // 1042
    QLineEdit* m_addName;           // 1045
    QTableView* m_list;             // 1031
    CExamineeListModel* m_model;
};

#pragma once

#include <QDialog>
#include <QList>

#include "rules/questionbank.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class CReadEdit;

// The question bank browser: the questions of the checked types, filtered by subject
// and a stem keyword, fifty to a page; deletion by double click; the ways to manual
// entry, import, bank clearing, the settings and back.
class CExamPaper : public QDialog {
    Q_OBJECT
public:
    explicit CExamPaper(QWidget* parent = nullptr);

    QTableWidget* QuestionList() const { return m_list; }
    QLabel* PageLabel() const { return m_pageLabel; }
    CReadEdit* CellViewer() const { return m_cellViewer; }
    int CurrentPage() const { return m_page; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildFilters();
    void BuildList();
    void BuildButtons();
    void Query();
    void Page(bank::PagingButton button);
    void ShowPage(const bank::Page& page);
    void SetPagingVisible(bool visible);
    void ClearFilters();
    void ClearList();
    void DeleteRow(int row);
    void ShowCell(int row, int column);
    void OpenTemplate();
    void Import();
    void ClearBank();

    QComboBox* m_subject;          // 1053
    QList<QCheckBox*> m_types;     // 1055, 1065, 1066, 1083, 1085
    QLineEdit* m_keyword;          // 1051
    QTableWidget* m_list;          // 1031
    QLabel* m_pageLabel;           // 1082
    QList<QPushButton*> m_paging;  // 首页, <<, >>, 末页
    CReadEdit* m_cellViewer;       // 1026

    int m_page = 1;
    int m_pageCount = 0;
};

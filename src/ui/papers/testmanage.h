#pragma once

#include <QDialog>
#include <QList>
#include <memory>

class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;

// The system administrator's list of stored papers: every paper's code is checked when
// the list is made, a right click offers a paper's section details and its deletion,
// and a chosen paper can be exported as a printed paper.
class CTestManage : public QDialog {
    Q_OBJECT
public:
    explicit CTestManage(QWidget* parent = nullptr);

    QTableWidget* PaperList() const { return m_list; }
    // The menu a right click at a point of the list's viewport opens; its items are
    // disabled when the click hit no paper.
    std::unique_ptr<QMenu> RowMenu(const QPoint& at);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();
    // Lists every paper; with the code check a tampered paper ends the program.
    void ListPapers(bool checkCodes);
    void ShowDetails(qlonglong id);
    void HideDetails();
    void DeletePaper(int row, qlonglong id);
    void ExportPaper();

    QTableWidget* m_list;         // 1240
    QList<QLabel*> m_typeLabels;  // 1136, 1137, 1061, 1138, 1139
    QList<QLabel*> m_sections;    // 1131, 1133, 1063, 1134, 1135
    QPushButton* m_clear;         // 1242
};

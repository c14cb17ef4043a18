#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The settings screen: the organisation tree of departments and positions, the exam
// subjects and the four target groups.
class CVariouSet : public QDialog {
    Q_OBJECT
public:
    explicit CVariouSet(QWidget* parent = nullptr);

    QTreeWidget* Tree() const { return m_tree; }
    QTableWidget* SubjectList() const { return m_subjects; }
    // The caption of the tree's root, which is never stored.
    static QString OrganisationCaption();

    // The tree's right-click menu on the node at `pos` (viewport coordinates); nothing
    // beside the nodes.
    void ShowNodeMenu(const QPoint& pos);

private:
    void BuildOrganisationGroup();
    void BuildSubjectGroup();
    void BuildObjectGroup();
    void LoadTree();
    void LoadSubjects();
    void LoadUsedSubjects();
    void ShowTargetGroups(const QStringList& groupSlots);

    void AddNode(QTreeWidgetItem* node);
    void RenameNode(QTreeWidgetItem* node);
    void DeleteNode(QTreeWidgetItem* node);
    void SaveTree();
    void AddSubject();
    void ClearSubjects();
    void DeleteSubject();
    void SaveTargetGroups();

    QTreeWidget* m_tree;               // 1083
    QTableWidget* m_subjects;          // 1209
    QLineEdit* m_newSubject;           // 1091
    QComboBox* m_usedSubjects;         // 1210
    QList<QLineEdit*> m_targetGroups;  // 1088, 1089, 1090, 1086
};

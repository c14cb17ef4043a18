#pragma once

#include <QDialog>

class QLineEdit;

// Asks for the name of a tree node: a new node (mode "add") or a new name for the node
// `currentName` (mode "alt"). Accepted with the name; Esc, and Enter in the name field,
// leave it like 取消.
class CAddAltNode : public QDialog {
    Q_OBJECT
public:
    CAddAltNode(const QString& mode, const QString& currentName, QWidget* parent = nullptr);

    QString Name() const;

private:
    void Save();

    QLineEdit* m_name;  // 1097
};

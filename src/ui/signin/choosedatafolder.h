#pragma once

#include <QDialog>

class QButtonGroup;
class QLineEdit;

// The first-start window: makes or picks the data folder when none is named, and lets
// the system administrator change it. On success the sign-in screen follows.
class CChooseDataFolder : public QDialog {
    Q_OBJECT
public:
    // `proposedFolder` fills the folder field; ~/Vemo when empty.
    explicit CChooseDataFolder(const QString& proposedFolder, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Browse();
    void Accept();

    QButtonGroup* m_choices;
    QLineEdit* m_folder;
    QLineEdit* m_server;
};

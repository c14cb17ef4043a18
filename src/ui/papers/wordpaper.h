#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

// Turns one stored paper into a printable exam document with its answer key: the
// administrator types a title, a time limit and a pass mark, and 生成考卷 draws the
// questions, writes the document and opens it with the desktop's program for it.
// Opened over paper management with the paper's name.
class CWordPaper : public QDialog {
    Q_OBJECT
public:
    explicit CWordPaper(const QString& paperName, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ClearFields();
    void Generate();
    // Drops the pool and closes this window; the program goes on.
    void Leave();

    QString m_paperName;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_minutes = nullptr;
    QLineEdit* m_passMark = nullptr;
};

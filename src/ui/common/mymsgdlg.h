#pragma once

#include <QDialog>

class QLabel;
class QTimer;

// A notice that counts down and closes by itself; 确定 closes it at once. Its own
// timer does not stop the timers of the window beneath it.
class CMyMsgDlg : public QDialog {
    Q_OBJECT
public:
    CMyMsgDlg(const QString& text, const QString& title, int seconds, QWidget* parent = nullptr);

    int SecondsLeft() const { return m_seconds; }
    QString CountdownText() const;
    // One second has passed.
    void Tick();

private:
    int m_seconds;
    QLabel* m_countdown;
    QTimer* m_timer;
};

// Shows a self-closing notice and returns when it has closed.
void ShowTimedNotice(QWidget* parent, const QString& text, const QString& title, int seconds);

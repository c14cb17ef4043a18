#pragma once

#include <QDateTime>
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <array>

#include "data/questiontype.h"
#include "exam/lockdown.h"
#include "rules/answers.h"
#include "rules/examsession.h"
#include "rules/examticket.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QTimer;
class CNavigationPanel;
class CShowMap;
class ExamLayout;

// The screen on which an examinee takes an exam: full-screen with the keyboard held,
// first the rules and the navigation panel, then one question at a time against a
// countdown, then hand-in, scoring and, if he wishes, review of the marked paper. The
// paper and the answers are the exam session's (kept durable until the hand-in); the
// reference answers come in the ticket and stay in memory. On a server the paper and the answers
// are also kept in memory: a station that loses the server keeps them, says so and hands in once
// the server is back.
class CVemoDlg : public QDialog {
    Q_OBJECT
public:
    explicit CVemoDlg(const ExamTicket& ticket, QWidget* parent = nullptr);
    ~CVemoDlg() override;

    // 开始考试: the countdown starts and question 1 is shown.
    void StartExam();
    // Shows question n (1-based) for answering or, in review mode, with both answers;
    // false when it could not be shown or the program is ending.
    bool ShowQuestion(int n);
    // Stores the answer on screen as question n's answer; false when storing failed
    // (the examinee has been told).
    bool SaveAnswer(int n);
    void PreviousQuestion();
    void NextQuestion();
    // A click on a number in the panel: stores the answer on screen, shows that question.
    void JumpToQuestion(int n);
    // 交卷, with its confirmation.
    void AskHandIn();
    // Stores the answer on screen, scores the paper and stores the result; then review
    // mode or the end of the program.
    void HandIn();
    // 返回 before the start, and 退出.
    void Back();
    void Exit();

    // One second of the clock (timer 1) and of the countdown (timer 2).
    void OnClockTick();
    void OnCountdownTick();
    // A few seconds apart while the server is away: reconnects, puts the paper back and
    // completes the hand-in.
    void TryReconnect();
    bool WaitingForServer() const { return m_pendingHandIn.isValid(); }

    int CurrentQuestion() const { return m_current; }
    int RemainingSeconds() const { return m_remaining; }
    bool InReview() const { return m_review; }
    bool CountdownRunning() const;
    std::array<int, 5> TypeCounts() const { return m_counts; }
    CNavigationPanel* Panel() const { return m_panel; }
    CShowMap* PictureWindow() const;
    const ExamLockdown* Lockdown() const { return m_lockdown; }
    answers::Span BlankSpan(int blank) const { return blank == 1 ? m_echo.first : m_echo.second; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

public slots:
    // The window leaves only through its own buttons.
    void reject() override {}

private:
    class KeyFilter;

    void BuildControls(const ExamLayout& layout);
    QLabel* AddStatic(const QString& text, const char* name, int id, const QRect& rect);
    QPushButton* AddButton(const QString& caption, const char* name, int id, const QRect& rect);
    void CountQuestions();
    void HideQuestionControls();
    void SetCurrent(int n);
    void ShowOptions(const QStringList& options, bool multiple);
    bool ShowFillIn(const QString& stem, const QString& answer);
    void ShowReviewAnswers(bool textAnswer, const QString& answer, int n);
    void ShowPicture(const QString& picture);
    void ClosePicture();
    void OnBlankEdited(QLineEdit* blank);
    void UpdateEcho();
    void RefreshMarks();
    void EnterReview();
    void LeaveWindow();
    QString Reference(int n) const;
    // Seconds of the time limit used so far, resumed sittings included.
    int TimeUsed() const;
    void ReportDatabaseFailure(const QString& what, const char* detail);
    // The answer on screen for a question of this type; nullopt keeps the stored one.
    std::optional<QVariant> AnswerOnScreen(const QString& typeName) const;
    // The session that held the paper is gone while the examinee answers.
    bool PaperLost() const;
    // Keeps the answer on screen, freezes the window and waits for the server; the hand-in
    // will be stored as made at `handInTime`.
    void WaitForServer(const QDateTime& handInTime);
    // A few seconds apart while the examinee answers: a server that froze is noticed without
    // waiting for the next answer to be stored.
    void CheckServer();
    void SetAnswering(bool enabled);
    void StoreResult(const QDateTime& handInTime);
    void ShowResult(const handin::Result& result);

    ExamTicket m_ticket;
    QStringList m_answerList;
    std::array<int, 5> m_counts{};
    int m_total = 0;
    int m_current = 0;  // 0 until the exam starts
    int m_remaining = 0;
    bool m_review = false;
    int m_W = 0, m_H = 0;
    ExamLockdown* m_lockdown;
    KeyFilter* m_keyFilter = nullptr;
    QPointer<CShowMap> m_picture;
    QString m_stem;  // the question text before the blanks are written in
    std::optional<QuestionType> m_currentType;
    answers::Echo m_echo;
    ExamSession m_session;
    QDateTime m_pendingHandIn;  // valid while waiting for the server

    QTimer* m_clock;      // timer 1
    QTimer* m_countdown;  // timer 2
    QTimer* m_reconnect;
    QLabel* m_serverNotice;
    QLabel* m_examName;
    QLabel* m_clockText;
    QLabel* m_rules;
    QPushButton* m_start;
    QPushButton* m_back;
    QPushButton* m_exit;
    QPushButton* m_previous;
    QPushButton* m_next;
    QPushButton* m_handIn;
    QLabel* m_timeLimit;
    QLabel* m_remainingText;
    QLabel* m_section;
    QLabel* m_number;
    QLabel* m_typeAndPoints;
    QLabel* m_optionsLabel;
    QTextEdit* m_questionText;
    QRadioButton* m_single[5];
    QCheckBox* m_multiple[5];
    QLabel* m_letters[5];
    QButtonGroup* m_singleGroup;
    QRadioButton* m_true;
    QRadioButton* m_false;
    QButtonGroup* m_judgeGroup;
    QLabel* m_trueLetter;
    QLabel* m_falseLetter;
    QLabel* m_blank1Label;
    QLineEdit* m_blank1;
    QLabel* m_blank2Label;
    QLineEdit* m_blank2;
    QLabel* m_essayLabel;
    QPlainTextEdit* m_essay;
    QLabel* m_yourAnswer;
    QLabel* m_reference;
    CNavigationPanel* m_panel = nullptr;
};

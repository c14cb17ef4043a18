#include "exam/vemodlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTextEdit>
#include <QTimer>

#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/clock.h"
#include "data/dberror.h"
#include "data/questiontype.h"
#include "exam/examlayout.h"
#include "exam/navpanel.h"
#include "rules/countdown.h"
#include "rules/keylock.h"
#include "rules/scoring.h"
#include "ui/common/decor.h"
#include "ui/common/mymsgdlg.h"
#include "ui/common/showmap.h"

namespace {

const QColor kBackground(240, 248, 255);

constexpr int kReconnectMilliseconds = 3000;
constexpr int kTimeStoredEverySeconds = 30;
// With the check's own reply bound (check_timeout, 3 s) a server that froze shows within
// about 5 s, while the window never waits for it longer than the bound.
constexpr int kServerCheckedEverySeconds = 2;

const QString kRulesText = QStringLiteral(
    "\t请仔细阅读以下练习规则：\n\n\t1、单选题和判断题只能选一个答案，多选题必须选二个及以上答案。"
    "\n\n\t2、按“开始练习”，显示题目和选项。\n\r\n\r\t3、按“下一题”或“上一题”后，才能保存当前答案。"
    "\n\n\t4、按“交卷”并确定后考试结束。");

NumberMark MarkOf(scoring::Verdict verdict) {
    switch (verdict) {
        case scoring::Verdict::Essay:
            return NumberMark::Essay;
        case scoring::Verdict::Right:
            return NumberMark::Right;
        case scoring::Verdict::HalfRight:
            return NumberMark::HalfRight;
        case scoring::Verdict::Unanswered:
        case scoring::Verdict::Wrong:
            return NumberMark::Wrong;
    }
    return NumberMark::None;
}

}  // namespace

// Keeps the lock-down keys from every window of the program while the exam window lives,
// and applies the exam window's own key rules.
class CVemoDlg::KeyFilter : public QObject {
public:
    explicit KeyFilter(CVemoDlg* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        keylock::KeyStroke stroke;
        stroke.key = key->key();
        stroke.modifiers = key->modifiers();
        stroke.press = event->type() == QEvent::KeyPress;
        stroke.inExamWindow = widget && widget->window() == m_window;
        stroke.essayHasFocus =
            widget && m_window->m_essay->hasFocus() &&
            (widget == m_window->m_essay || m_window->m_essay->isAncestorOf(widget));
        switch (keylock::Decide(stroke)) {
            case keylock::KeyAction::Pass:
                return false;
            case keylock::KeyAction::Swallow:
                return true;
            case keylock::KeyAction::InsertLineBreak:
                Insert(QStringLiteral("\n"));
                return true;
            case keylock::KeyAction::InsertSpace:
                Insert(QStringLiteral(" "));
                return true;
        }
        return false;
    }

private:
    // At the start of the selection, which stays in place; the caret goes after it.
    void Insert(const QString& text) {
        QPlainTextEdit* essay = m_window->m_essay;
        if (essay->isReadOnly()) return;
        QTextCursor cursor = essay->textCursor();
        cursor.setPosition(cursor.selectionStart());
        cursor.insertText(text);
        essay->setTextCursor(cursor);
    }

    CVemoDlg* m_window;
};

CVemoDlg::CVemoDlg(const ExamTicket& ticket, QWidget* parent)
    : QDialog(parent), m_ticket(ticket), m_session(ticket) {
    setWindowTitle(QStringLiteral("Vemo"));
    // Full screen without a frame, above other windows: the window manager offers no way
    // to move, resize or close it.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize(1280, 1024);
    m_W = size.width();
    m_H = size.height();
    setFixedSize(size);
    setWindowState(Qt::WindowFullScreen);

    QFont dialogFont = font();
    dialogFont.setPixelSize(14);
    setFont(dialogFont);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBackground);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);

    m_clock = new QTimer(this);
    m_clock->setObjectName(QStringLiteral("timer1"));
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &CVemoDlg::OnClockTick);
    m_countdown = new QTimer(this);
    m_countdown->setObjectName(QStringLiteral("timer2"));
    m_countdown->setInterval(1000);
    connect(m_countdown, &QTimer::timeout, this, &CVemoDlg::OnCountdownTick);
    m_reconnect = new QTimer(this);
    m_reconnect->setObjectName(QStringLiteral("reconnect"));
    m_reconnect->setInterval(kReconnectMilliseconds);
    connect(m_reconnect, &QTimer::timeout, this, &CVemoDlg::TryReconnect);
    m_lockdown = new ExamLockdown(
        this, {[this] { msgbox::AppMessage(this, QStringLiteral("安装钩子失败!")); },
               [this] { Exit(); }});

    m_keyFilter = new KeyFilter(this);
    qApp->installEventFilter(m_keyFilter);

    const ExamLayout layout(size);
    BuildControls(layout);
    m_clockText->setText(countdown::ClockText(clock_seam::Now()));
    m_clock->start();
    CountQuestions();

    QFont panelFont(QStringList{QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                QStringLiteral("Noto Serif CJK SC"),
                                QStringLiteral("Noto Sans CJK SC")});
    panelFont.setPixelSize(14);
    panelFont.setWeight(QFont::Light);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("panelArea"));
    scroll->setGeometry(layout.Panel());
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    m_panel = new CNavigationPanel(m_counts, panelFont, scroll);
    m_panel->setObjectName(QStringLiteral("panel"));
    m_panel->resize(layout.Panel().width(),
                    qMax(layout.Panel().height(), m_panel->minimumHeight()));
    scroll->setWidget(m_panel);
    connect(m_panel, &CNavigationPanel::numberClicked, this, &CVemoDlg::JumpToQuestion);

    if (!ExamLockdown::Supported()) msgbox::AppMessage(this, QStringLiteral("安装钩子失败!"));
}

CVemoDlg::~CVemoDlg() {
    qApp->removeEventFilter(m_keyFilter);
    ClosePicture();
}

QLabel* CVemoDlg::AddStatic(const QString& text, const char* name, int id, const QRect& rect) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setProperty("controlId", id);
    label->setGeometry(rect);
    return label;
}

QPushButton* CVemoDlg::AddButton(const QString& caption, const char* name, int id,
                                 const QRect& rect) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setProperty("controlId", id);
    button->setGeometry(rect);
    button->setAutoDefault(false);
    return button;
}

void CVemoDlg::BuildControls(const ExamLayout& layout) {
    m_examName = AddStatic(m_ticket.examName, "examName", 1179, layout.ExamName());
    m_examName->setAlignment(Qt::AlignCenter);
    QFont title = font();
    title.setPixelSize(24);
    title.setBold(true);
    m_examName->setFont(title);
    m_clockText = AddStatic(QString(), "clock", 1014, layout.Clock());
    m_section = AddStatic(QString(), "sectionNumeral", 1006, layout.SectionNumeral());
    m_number = AddStatic(QString(), "questionNumber", 1008, layout.QuestionNumber());
    m_typeAndPoints = AddStatic(QString(), "typeAndPoints", 1004, layout.TypeAndPoints());
    m_timeLimit = AddStatic(QString(), "timeLimit", 1021, layout.TimeLimit());
    m_optionsLabel = AddStatic(QString(), "optionsLabel", 1010, layout.OptionsLabel());
    m_remainingText = AddStatic(QString(), "remaining", 1016, layout.Remaining());

    m_questionText = new QTextEdit(this);
    m_questionText->setObjectName(QStringLiteral("questionText"));
    m_questionText->setProperty("controlId", 1262);
    m_questionText->setReadOnly(true);
    m_questionText->setAccessibleName(QStringLiteral("题干"));
    m_questionText->document()->setDocumentMargin(5);
    m_questionText->setGeometry(layout.QuestionText());

    m_singleGroup = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        const QString letter = answers::OptionLetter(i);
        m_letters[i] = AddStatic(letter + QStringLiteral("、"), qPrintable("letter" + letter),
                                 2500 + i, layout.OptionLetter(i));
        m_single[i] = new QRadioButton(this);
        m_single[i]->setObjectName("single" + letter);
        m_single[i]->setProperty("controlId", 1301 + i);
        m_single[i]->setGeometry(layout.Option(i));
        m_singleGroup->addButton(m_single[i], i);
        m_multiple[i] = new QCheckBox(this);
        m_multiple[i]->setObjectName("multiple" + letter);
        m_multiple[i]->setProperty("controlId", 1311 + i);
        m_multiple[i]->setGeometry(layout.Option(i));
    }
    m_trueLetter = AddStatic(QStringLiteral("A、"), "trueLetter", 1028, layout.TrueLetter());
    m_falseLetter = AddStatic(QStringLiteral("B、"), "falseLetter", 1029, layout.FalseLetter());
    m_judgeGroup = new QButtonGroup(this);
    m_true = new QRadioButton(QStringLiteral("正确"), this);
    m_true->setObjectName(QStringLiteral("judgeTrue"));
    m_true->setProperty("controlId", 1306);
    m_true->setGeometry(layout.TrueButton());
    m_false = new QRadioButton(QStringLiteral("错误"), this);
    m_false->setObjectName(QStringLiteral("judgeFalse"));
    m_false->setProperty("controlId", 1307);
    m_false->setGeometry(layout.FalseButton());
    m_judgeGroup->addButton(m_true, 0);
    m_judgeGroup->addButton(m_false, 1);

    m_blank1Label = AddStatic(QStringLiteral("填空1"), "blank1Label", 1266, layout.Blank1Label());
    m_blank1 = new QLineEdit(this);
    m_blank1->setObjectName(QStringLiteral("blank1"));
    m_blank1->setGeometry(layout.Blank1());
    m_blank1Label->setBuddy(m_blank1);
    m_blank2Label = AddStatic(QStringLiteral("填空2"), "blank2Label", 1267, layout.Blank2Label());
    m_blank2 = new QLineEdit(this);
    m_blank2->setObjectName(QStringLiteral("blank2"));
    m_blank2->setGeometry(layout.Blank2());
    m_blank2Label->setBuddy(m_blank2);
    connect(m_blank1, &QLineEdit::textChanged, this, [this] { OnBlankEdited(m_blank1); });
    connect(m_blank2, &QLineEdit::textChanged, this, [this] { OnBlankEdited(m_blank2); });
    m_essayLabel = AddStatic(QStringLiteral("答："), "essayLabel", 1268, layout.Blank1Label());
    m_essay = new QPlainTextEdit(this);
    m_essay->setObjectName(QStringLiteral("essay"));
    m_essay->setGeometry(layout.Essay());
    m_essayLabel->setBuddy(m_essay);

    m_yourAnswer = AddStatic(QString(), "yourAnswer", 1012, layout.YourAnswer());
    m_reference = AddStatic(QString(), "reference", 1019, layout.OptionReference());
    m_reference->setWordWrap(true);
    m_serverNotice = AddStatic(QString(), "serverNotice", 1031, layout.ServerNotice());
    m_serverNotice->setStyleSheet(QStringLiteral("color: #c00000;"));
    m_serverNotice->hide();

    m_start = AddButton(QStringLiteral("开始考试"), "start", 1003, layout.Start());
    m_rules = AddStatic(kRulesText, "rules", 1030, layout.Rules());
    m_rules->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_back = AddButton(QStringLiteral("返回"), "back", 1025, layout.Previous());
    m_exit = AddButton(QStringLiteral("退出"), "exit", 1027, layout.HandIn());
    m_previous = AddButton(QStringLiteral("上一题"), "previous", 1001, layout.Previous());
    m_next = AddButton(QStringLiteral("下一题"), "next", 1002, layout.Next());
    m_handIn = AddButton(QStringLiteral("交卷"), "handIn", 1024, layout.HandIn());
    connect(m_start, &QPushButton::clicked, this, &CVemoDlg::StartExam);
    connect(m_back, &QPushButton::clicked, this, &CVemoDlg::Back);
    connect(m_exit, &QPushButton::clicked, this, &CVemoDlg::Exit);
    connect(m_previous, &QPushButton::clicked, this, &CVemoDlg::PreviousQuestion);
    connect(m_next, &QPushButton::clicked, this, &CVemoDlg::NextQuestion);
    connect(m_handIn, &QPushButton::clicked, this, &CVemoDlg::AskHandIn);

    for (QWidget* w : {static_cast<QWidget*>(m_previous), static_cast<QWidget*>(m_next),
                       static_cast<QWidget*>(m_handIn)})
        w->hide();
    HideQuestionControls();
}

void CVemoDlg::CountQuestions() {
    try {
        m_counts = m_session.Open();
    } catch (const DatabaseError& e) {
        ReportDatabaseFailure(QStringLiteral("读取试卷失败"), e.what());
    }
    m_total = 0;
    for (int count : m_counts) m_total += count;
}

void CVemoDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void CVemoDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // The calligraphy at three fifths of its size, in the free bottom-right corner.
    const QRect logo(m_W - 280, m_H - 190, 240, 160);
    if (logo.top() > ExamLayout(size()).HandIn().bottom() + 20) {
        QPainter painter(this);
        decor::PaintCalligraphy(painter, logo);
    }
}

CShowMap* CVemoDlg::PictureWindow() const {
    return m_picture;
}

bool CVemoDlg::CountdownRunning() const {
    return m_countdown->isActive();
}

void CVemoDlg::OnClockTick() {
    m_clockText->setText(countdown::ClockText(clock_seam::Now()));
}

void CVemoDlg::OnCountdownTick() {
    if (m_review || !m_countdown->isActive()) return;
    --m_remaining;
    m_remainingText->setText(countdown::RemainingText(m_remaining));
    if (m_remaining > 0) {
        const int used = TimeUsed();
        // A station that dies loses at most this much of the time used. A store that went
        // through shows the server there; one that failed is looked into at once.
        if (used % kTimeStoredEverySeconds == 0 && m_session.StoreTimeUsed(used)) return;
        if (used % kServerCheckedEverySeconds == 0) CheckServer();
        return;
    }
    m_countdown->stop();
    ClosePicture();
    ShowTimedNotice(this, QStringLiteral("考试时间到，强制交卷!"), msgbox::RemindTitle(), 10);
    HandIn();
}

void CVemoDlg::StartExam() {
    m_remaining = m_ticket.timeLimit.toInt() * 60 - m_ticket.timeUsed;
    m_countdown->start();
    m_answerList = answers::SplitAnswerKey(m_ticket.answerKey);
    m_rules->hide();
    m_start->hide();
    m_back->hide();
    m_exit->hide();
    m_next->show();
    m_previous->show();
    m_handIn->show();
    m_timeLimit->setText(QStringLiteral("答题时限:") + m_ticket.timeLimit + QStringLiteral("分钟"));
    m_optionsLabel->setText(QStringLiteral("选项"));
    m_remainingText->setText(countdown::RemainingText(m_remaining));
    if (!ShowQuestion(1)) return;
    SetCurrent(1);
    RefreshMarks();
}

void CVemoDlg::SetCurrent(int n) {
    m_current = n;
    m_number->setText(n > 0 ? QString::number(n) + QStringLiteral("、") : QString());
}

int CVemoDlg::TimeUsed() const {
    return countdown::ElapsedSeconds(m_ticket.timeLimit.toInt(), m_remaining);
}

QString CVemoDlg::Reference(int n) const {
    return n >= 1 && n <= m_answerList.size() ? m_answerList[n - 1] : QString();
}

bool CVemoDlg::SaveAnswer(int n) {
    try {
        m_session.StoreAnswer(n, AnswerOnScreen(m_session.Type(n)), TimeUsed());
        return true;
    } catch (const DatabaseError& e) {
        if (PaperLost()) {
            WaitForServer(clock_seam::Now());
            return false;
        }
        ReportDatabaseFailure(QStringLiteral("第%1题的答案没有保存").arg(n), e.what());
        return false;
    }
}

void CVemoDlg::PreviousQuestion() {
    const int n = m_current;
    if (n == 0) return;
    if (!m_review && !SaveAnswer(n)) return;
    if (n == 1) {
        ShowTimedNotice(this, QStringLiteral("已经是第1题了！"), msgbox::PromptTitle(), 5);
    } else {
        if (!ShowQuestion(n - 1)) return;
        SetCurrent(n - 1);
    }
    RefreshMarks();
}

void CVemoDlg::NextQuestion() {
    const int n = m_current;
    if (n == 0) return;
    if (!m_review && !SaveAnswer(n)) return;
    if (n >= m_total) {
        ShowTimedNotice(this, QStringLiteral("已经是最后一题了！"), msgbox::PromptTitle(), 5);
    } else {
        if (!ShowQuestion(n + 1)) return;
        SetCurrent(n + 1);
    }
    RefreshMarks();
}

void CVemoDlg::JumpToQuestion(int n) {
    // The answer on screen is stored first, as 上一题 and 下一题 store it.
    if (m_current == 0 || (!m_review && !SaveAnswer(m_current)) || !ShowQuestion(n)) return;
    SetCurrent(n);
    RefreshMarks();
}

void CVemoDlg::RefreshMarks() {
    QVector<NumberMark> marks(m_total, NumberMark::None);
    try {
        for (const ExamSession::StoredAnswer& stored : m_session.Answers(!m_review)) {
            const int n = stored.number;
            if (n < 1 || n > m_total) continue;
            marks[n - 1] = m_review
                               ? MarkOf(scoring::Judge(stored.type, stored.answer, Reference(n)))
                               : NumberMark::Answered;
        }
    } catch (const DatabaseError& e) {
        if (PaperLost()) return WaitForServer(clock_seam::Now());
        ReportDatabaseFailure(QStringLiteral("读取答题情况失败"), e.what());
    }
    m_panel->SetMarks(marks);
}

void CVemoDlg::AskHandIn() {
    m_countdown->stop();
    ClosePicture();
    if (msgbox::Ask(this, QStringLiteral("您确定要交卷!")))
        HandIn();
    else
        m_countdown->start();
}

void CVemoDlg::HandIn() {
    if (WaitingForServer()) return;  // the hand-in follows the reconnection
    if (m_current > 0 && !m_review && !SaveAnswer(m_current)) return;
    StoreResult(clock_seam::Now());
}

void CVemoDlg::StoreResult(const QDateTime& handInTime) {
    QString error;
    const std::optional<handin::Result> result =
        m_session.HandIn(m_answerList, m_remaining, handInTime, &error);
    if (!result && PaperLost()) return WaitForServer(handInTime);
    if (!result) {
        // Nothing was stored; 交卷 stays for another try.
        qWarning("hand-in failed: %s", qPrintable(error));
        msgbox::Warn(this,
                     QStringLiteral("交卷失败，考试结果没有保存，请再按“交卷”或报告考试管理员！"));
        return;
    }
    ShowResult(*result);
}

void CVemoDlg::ShowResult(const handin::Result& result) {
    m_lockdown->ReleasePointer();
    if (msgbox::Ask(this,
                    scoring::ResultMessage(result.score, m_ticket.passMark, result.hasEssays)))
        EnterReview();
    else
        Exit();
}

void CVemoDlg::EnterReview() {
    m_handIn->hide();
    m_exit->show();
    m_review = true;
    m_countdown->stop();
    m_remainingText->hide();
    if (!ShowQuestion(1)) return;
    SetCurrent(1);
    RefreshMarks();
}

void CVemoDlg::LeaveWindow() {
    if (m_current == 0 && !m_review) m_session.ForgetUnstarted();
    m_countdown->stop();
    m_lockdown->Stop();
    ClosePicture();
    m_session.DropScratchTable();
}

void CVemoDlg::Back() {
    LeaveWindow();
    m_clock->stop();
    screens::Go(this, screens::Id::ExamLogin);
}

void CVemoDlg::Exit() {
    LeaveWindow();
    ExitProgram(this);
}

void CVemoDlg::ReportDatabaseFailure(const QString& what, const char* detail) {
    qWarning("%s: %s", qPrintable(what), detail);
    msgbox::Warn(this, what + QStringLiteral("，请报告考试管理员！"));
}

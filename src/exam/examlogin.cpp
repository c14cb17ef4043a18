#include "exam/examlogin.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <cstdlib>

#include "app/desktop.h"
#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/clock.h"
#include "data/codes.h"
#include "data/dberror.h"
#include "rules/examselection.h"
#include "rules/paperinprogress.h"
#include "rules/signin.h"
#include "ui/common/checklist.h"
#include "ui/common/controls.h"
#include "ui/common/decor.h"
#include "ui/common/mymsgdlg.h"

namespace {

constexpr int kNoticeSeconds = 6;
const QString kEnded = QStringLiteral("已结束");

}  // namespace

CExamLogin::CExamLogin(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vemo—考试登录"));
    setFixedSize(820, 650);
    InstallScreenKeyFilter(this);

    m_name = controls::Edit(this, QRect(100, 24, 130, 26), QStringLiteral("name"));
    controls::Label(this, QStringLiteral("考生姓名"), QRect(20, 24, 72, 26), m_name,
                    Qt::AlignRight | Qt::AlignVCenter);

    m_department =
        controls::DropDownList(this, QRect(290, 24, 140, 26), QStringLiteral("department"));
    controls::Label(this, QStringLiteral("部门"), QRect(240, 24, 42, 26), m_department,
                    Qt::AlignRight | Qt::AlignVCenter);
    m_position = controls::DropDownList(this, QRect(490, 24, 140, 26), QStringLiteral("position"));
    controls::Label(this, QStringLiteral("职务"), QRect(440, 24, 42, 26), m_position,
                    Qt::AlignRight | Qt::AlignVCenter);
    controls::LinkDepartmentToPositions(m_department, m_position);

    auto* query = controls::Button(this, QStringLiteral("查询考试"), QRect(646, 22, 80, 30),
                                   QStringLiteral("query"));
    connect(query, &QPushButton::clicked, this, &CExamLogin::QueryExams);
    auto* clear = controls::Button(this, QStringLiteral("清空选项"), QRect(732, 22, 80, 30),
                                   QStringLiteral("clear"));
    connect(clear, &QPushButton::clicked, this, &CExamLogin::ClearOptions);

    const QStringList headings = {"选择",     "考试号",   "考试名称", "开始时间",
                                  "结束时间", "时效",     "考试时限", "合格分数",
                                  "试卷名称", "科目选项", "考生ID"};
    m_exams = new CCheckList(headings, {45, 60, 255, 168, 168, 70, 0, 0, 0, 0, 0},
                             CCheckList::Ticks::AtMostOne, this);
    m_exams->setObjectName(QStringLiteral("exams"));
    m_exams->setAccessibleName(QStringLiteral("考试列表"));
    m_exams->setGeometry(16, 70, 790, 380);
    connect(m_exams, &CCheckList::TickChanged, this, &CExamLogin::CopySelection);
    m_status = controls::Label(this, QString(), QRect(16, 456, 420, 24));
    m_status->setObjectName(QStringLiteral("status"));

    auto* enter = controls::Button(this, QStringLiteral("进入考试"), QRect(600, 470, 110, 34),
                                   QStringLiteral("enter"));
    controls::Label(this, QStringLiteral("请选择考试后 ->"), QRect(440, 470, 150, 34), nullptr,
                    Qt::AlignRight | Qt::AlignVCenter);
    connect(enter, &QPushButton::clicked, this, [this] {
        if (const auto ticket = EnterExam())
            screens::Go(this, screens::Id::ExamWindow, QVariant::fromValue(*ticket));
    });

    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(600, 560, 90, 32),
                                  QStringLiteral("back"));
    connect(back, &QPushButton::clicked, this, [this] {
        selection::DropPool();
        screens::Go(this, screens::Id::Login);
    });
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(716, 560, 90, 32),
                                  QStringLiteral("exit"));
    connect(exit, &QPushButton::clicked, this, [this] {
        selection::DropPool();
        ExitProgram(this);
    });

    // An empty draw pool for this visit, whatever an earlier one left behind.
    selection::CreateEmptyPool();
}

void CExamLogin::ClearOptions() {
    m_department->setCurrentIndex(-1);
    m_position->setCurrentIndex(-1);
    m_name->clear();
}

void CExamLogin::QueryExams() {
    // A fresh query forgets the exam ticked before, with the rows that showed it.
    m_exams->setRowCount(0);
    m_selection = Selection();
    m_status->clear();
    const QString name = m_name->text();
    const QString department = m_department->currentText();
    const QString position = m_position->currentText();
    if (name.isEmpty() || department.isEmpty() || position.isEmpty()) {
        msgbox::Prompt(this, QStringLiteral("查询信息不能有空格！"), msgbox::RemindTitle());
        return;
    }
    try {
        ListExams(name, department, position);
    } catch (const DatabaseError& error) {
        ReportDatabaseError(error);
        return;
    }
    if (m_exams->rowCount() == 0)
        m_status->setText(QStringLiteral("没有找到可参加的考试：请核对姓名、部门和职务。"));
}

void CExamLogin::ListExams(const QString& name, const QString& department,
                           const QString& position) {
    const selection::Listing listing =
        selection::ListExams(name, department, position, clock_seam::Now());
    for (const selection::OpenExam& exam : listing.exams)
        m_exams->AppendRow({exam.examNo, exam.examName, exam.start, exam.end,
                            exam.ended ? kEnded : QString(), exam.timeLimit, exam.passMark,
                            exam.paperName, exam.subjectMode, exam.registrationId});
    if (listing.refusal == selection::Refusal::None) return;
    Notice(selection::RefusalMessage(listing));
    if (selection::EndsProgram(listing.refusal)) ExitProgram(this);
}

void CExamLogin::CopySelection() {
    m_selection = Selection();
    for (int row = 0; row < m_exams->rowCount(); ++row) {
        if (!m_exams->IsTicked(row)) continue;
        auto text = [this, row](int column) { return m_exams->Text(row, column); };
        m_selection.examName = text(kExamNameColumn);
        m_selection.state = text(kStateColumn);
        m_selection.timeLimit = text(kTimeLimitColumn);
        m_selection.passMark = std::atoi(qPrintable(text(kPassMarkColumn)));
        m_selection.paperName = text(kPaperColumn);
        m_selection.subjectMode = text(kSubjectModeColumn);
        m_selection.registrationId = text(kRegistrationColumn);
        return;
    }
}

std::optional<ExamTicket> CExamLogin::EnterExam() {
    if (m_selection.examName.isEmpty()) {
        msgbox::Prompt(this, QStringLiteral("请选择考试！"));
        return std::nullopt;
    }
    if (m_selection.state == kEnded) {
        Notice(QStringLiteral("选择的考试已结束！"));
        return std::nullopt;
    }
    try {
        // A sitting that was not finished goes on with its own paper, never a new one.
        if (progress::TimeUsed(m_selection.registrationId)) return ResumeSitting();
        const selection::PaperCheck check = selection::CheckPaper(m_selection.paperName);
        if (check != selection::PaperCheck::Ready) {
            if (check != selection::PaperCheck::NoExams) Notice(selection::CheckMessage(check));
            return std::nullopt;
        }
        const assembly::AssemblyResult drawn = selection::DrawPaper(
            m_selection.subjectMode, m_selection.paperName, m_random, m_selection.registrationId);
        switch (drawn.outcome) {
            case assembly::Outcome::NoRules:
                Notice(assembly::OutcomeMessage(drawn));
                ExitProgram(this);
                return std::nullopt;
            case assembly::Outcome::BankTooSmall:
                msgbox::Warn(this, assembly::OutcomeMessage(drawn));
                ExitProgram(this);
                return std::nullopt;
            case assembly::Outcome::BrokenRule:
                Notice(assembly::OutcomeMessage(drawn));
                return std::nullopt;
            case assembly::Outcome::Assembled:
                break;
        }
        return ExamTicket{drawn.answerKey, m_selection.examName, m_selection.timeLimit,
                          m_selection.registrationId, m_selection.passMark};
    } catch (const DatabaseError& error) {
        ReportDatabaseError(error);
        return std::nullopt;
    }
}

std::optional<ExamTicket> CExamLogin::ResumeSitting() {
    msgbox::Prompt(this,
                   QStringLiteral("您上次的考试没有完成，须由考试管理员输入密码后才能继续考试！"));
    const QString password =
        desktop::AskPassword(this, msgbox::PromptTitle(), QStringLiteral("考试管理员密码："));
    if (password.isEmpty()) return std::nullopt;
    switch (signin::CheckPassword(codes::Account::ExamAdmin, password)) {
        case signin::PasswordVerdict::Accepted:
            break;
        case signin::PasswordVerdict::TooFewRows:
        case signin::PasswordVerdict::DigestsDamaged:
            msgbox::Prompt(this, QStringLiteral("保存的密码数据已损坏！"));
            return std::nullopt;
        case signin::PasswordVerdict::Refused:
            msgbox::Prompt(this, QStringLiteral("密码不正确，不能继续考试！"));
            return std::nullopt;
    }
    const progress::Resumed resumed = progress::Resume(m_selection.registrationId);
    selection::DropPool();
    return ExamTicket{resumed.answerKey,
                      m_selection.examName,
                      m_selection.timeLimit,
                      m_selection.registrationId,
                      m_selection.passMark,
                      resumed.timeUsed,
                      true};
}

void CExamLogin::Notice(const QString& text) {
    ShowTimedNotice(this, text, msgbox::PromptTitle(), kNoticeSeconds);
}

void CExamLogin::ReportDatabaseError(const DatabaseError& error) {
    msgbox::Warn(this, QStringLiteral("读写数据库时出错，本次操作未完成：") +
                           QString::fromUtf8(error.what()));
}

void CExamLogin::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    decor::PaintCalligraphy(painter, QRect(230, 500, 200, 133));
}

#include "ui/exams/createexam.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimeEdit>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/clock.h"
#include "rules/exams.h"
#include "ui/common/checklist.h"
#include "ui/common/controls.h"
#include "ui/common/guarded.h"

namespace {

QDateEdit* DatePicker(QWidget* parent, const QRect& at, const char* name, const QString& label) {
    auto* picker = new QDateEdit(clock_seam::Now().date(), parent);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    picker->setGeometry(at);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setAccessibleName(label);
    return picker;
}

QTimeEdit* TimePicker(QWidget* parent, const QRect& at, const char* name, const QString& label) {
    auto* picker = new QTimeEdit(clock_seam::Now().time(), parent);
    picker->setDisplayFormat(QStringLiteral("HH:mm"));
    picker->setGeometry(at);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setAccessibleName(label);
    return picker;
}

QLineEdit* DigitsEdit(QWidget* parent, const QRect& at, const char* name) {
    auto* edit = controls::Edit(parent, at, QString::fromLatin1(name));
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), edit));
    return edit;
}

CCheckList* ExamineeList(QWidget* parent, const QRect& at, const char* name, const QString& label) {
    auto* list = new CCheckList({"选择", "姓名", "部门", "职务"}, {45, 80, 80, 80},
                                CCheckList::Ticks::Many, parent);
    list->setGeometry(at);
    list->setObjectName(QString::fromLatin1(name));
    list->setAccessibleName(label);
    return list;
}

}  // namespace

CCreateExam::CCreateExam(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vemo—创建考试"));
    setFixedSize(960, 700);
    InstallScreenKeyFilter(this, SpaceKey::Typed);
    BuildControls();
    LoadPapers();
}

void CCreateExam::BuildControls() {
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    m_examName = controls::Edit(this, QRect(105, 20, 260, 26), "examName");
    controls::Label(this, QStringLiteral("考试名称"), QRect(20, 20, 78, 26), m_examName, right);

    m_startDate = DatePicker(this, QRect(105, 60, 120, 26), "startDate", "开始日期");
    m_startTime = TimePicker(this, QRect(232, 60, 72, 26), "startTime", "开始时间");
    m_endDate = DatePicker(this, QRect(345, 60, 120, 26), "endDate", "结束日期");
    m_endTime = TimePicker(this, QRect(472, 60, 72, 26), "endTime", "结束时间");
    controls::Label(this, QStringLiteral("考试时间"), QRect(20, 60, 78, 26), m_startDate, right);
    controls::Label(this, QStringLiteral("至"), QRect(310, 60, 30, 26), m_endDate, Qt::AlignCenter);

    m_papers = new CCheckList({"选择", "试卷名称", "科目", "总题数", "满分", "创建时间"},
                              {45, 170, 80, 60, 60, 168}, CCheckList::Ticks::AtMostOne, this);
    m_papers->setGeometry(20, 124, 605, 170);
    m_papers->setObjectName(QStringLiteral("papers"));
    controls::Label(this, QStringLiteral("选择考卷"), QRect(20, 98, 200, 22), m_papers);
    connect(m_papers, &CCheckList::TickChanged, this, &CCreateExam::OnPaperTicked);

    m_paperCaption = controls::Label(this, QStringLiteral("试卷名称"), QRect(645, 124, 90, 26));
    m_paperName = controls::Label(this, QString(), QRect(740, 124, 200, 26));
    m_paperName->setObjectName(QStringLiteral("paperName"));
    m_timeLimit = DigitsEdit(this, QRect(760, 174, 80, 26), "timeLimit");
    controls::Label(this, QStringLiteral("输入答题时限"), QRect(645, 174, 110, 26), m_timeLimit);
    controls::Label(this, QStringLiteral("分钟"), QRect(846, 174, 50, 26));
    m_passMark = DigitsEdit(this, QRect(760, 220, 80, 26), "passMark");
    controls::Label(this, QStringLiteral("输入合格分数"), QRect(645, 220, 110, 26), m_passMark);

    auto* choice = new QGroupBox(QStringLiteral("按部门或(和)职务选择考生"), this);
    choice->setGeometry(20, 310, 920, 66);
    m_department = controls::DropDownList(this, QRect(80, 338, 170, 26), "department");
    controls::Label(this, QStringLiteral("部门"), QRect(36, 338, 40, 26), m_department);
    m_position = controls::DropDownList(this, QRect(320, 338, 170, 26), "position");
    controls::Label(this, QStringLiteral("职务"), QRect(276, 338, 40, 26), m_position);
    auto* show = controls::Button(this, QStringLiteral("显示"), QRect(520, 336, 90, 30), "show");
    auto* clear =
        controls::Button(this, QStringLiteral("清空"), QRect(625, 336, 90, 30), "clearChoice");

    m_left = ExamineeList(this, QRect(20, 392, 310, 248), "left", QStringLiteral("待选考生"));
    auto* leftAll =
        controls::Button(this, QStringLiteral("全选"), QRect(20, 650, 90, 30), "leftAll");
    auto* leftNone =
        controls::Button(this, QStringLiteral("全不选"), QRect(120, 650, 90, 30), "leftNone");
    auto* moveGroup = new QGroupBox(QStringLiteral("向右移动"), this);
    moveGroup->setGeometry(342, 470, 96, 80);
    auto* move = controls::Button(this, QStringLiteral(">>"), QRect(357, 502, 66, 30), "moveRight");
    move->setAccessibleName(QStringLiteral("向右移动"));
    m_right = ExamineeList(this, QRect(450, 392, 310, 248), "right", QStringLiteral("参加考生"));
    auto* rightAll =
        controls::Button(this, QStringLiteral("全选"), QRect(450, 650, 90, 30), "rightAll");
    auto* rightNone =
        controls::Button(this, QStringLiteral("全不选"), QRect(550, 650, 90, 30), "rightNone");
    auto* deleteGroup = new QGroupBox(QStringLiteral("删除考生"), this);
    deleteGroup->setGeometry(780, 392, 160, 80);
    auto* remove =
        controls::Button(this, QStringLiteral("删除"), QRect(805, 424, 110, 30), "delete");

    auto* save = controls::Button(this, QStringLiteral("保存"), QRect(790, 530, 140, 34), "save");
    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(790, 580, 140, 34), "back");
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(790, 630, 140, 34), "exit");
    // Group boxes are made before their controls; lift the controls above them.
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_department, m_position, show, clear, move, remove})
        w->raise();

    connect(show, &QPushButton::clicked, this, &CCreateExam::ShowExaminees);
    connect(clear, &QPushButton::clicked, this, &CCreateExam::ClearChoice);
    connect(leftAll, &QPushButton::clicked, this, [this] { m_left->SetAllTicked(true); });
    connect(leftNone, &QPushButton::clicked, this, [this] { m_left->SetAllTicked(false); });
    connect(rightAll, &QPushButton::clicked, this, [this] { m_right->SetAllTicked(true); });
    connect(rightNone, &QPushButton::clicked, this, [this] { m_right->SetAllTicked(false); });
    connect(move, &QPushButton::clicked, this, &CCreateExam::MoveRight);
    connect(remove, &QPushButton::clicked, this, &CCreateExam::DeleteFromRight);
    connect(save, &QPushButton::clicked, this, &CCreateExam::Save);
    connect(back, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::ExamManagement); });
    connect(exit, &QPushButton::clicked, this, [this] { ExitProgram(this); });
}

void CCreateExam::LoadPapers() {
    m_paperCaption->hide();
    exams::PaperListing listing;
    if (!Guarded(this, QStringLiteral("考试"), [&] { listing = exams::ListPapers(); })) return;
    for (const exams::PaperRow& p : listing.papers)
        m_papers->AppendRow({p.name, p.subject, p.total, p.fullMarks, p.created});
    if (listing.tampered) {
        msgbox::Warn(this, QStringLiteral("保存的试卷已被篡改,将退出程序！"));
        ExitProgram(this);
        return;
    }
    // Without a paper no exam can be created: the departments stay empty.
    if (listing.papers.empty()) return;
    controls::LinkDepartmentToPositions(m_department, m_position);
}

void CCreateExam::OnPaperTicked() {
    m_chosenPaper.clear();
    m_chosenFullMarks.clear();
    const QList<int> ticked = m_papers->TickedRows();
    if (!ticked.isEmpty()) {
        m_chosenPaper = m_papers->Text(ticked.first(), kPaperName);
        m_chosenFullMarks = m_papers->Text(ticked.first(), kFullMarks);
    }
    m_paperCaption->setVisible(!ticked.isEmpty());
    m_paperName->setText(m_chosenPaper);
}

void CCreateExam::ShowExaminees() {
    const auto statement = examinees::SearchStatement(
        {QString(), m_department->currentText(), m_position->currentText()});
    if (!statement) {
        m_left->Clear();
        msgbox::Prompt(this, QStringLiteral("查询条件不能为空！"), msgbox::RemindTitle());
        return;
    }
    std::vector<RegisteredExaminee> rows;
    if (!Guarded(this, QStringLiteral("考试"), [&] { rows = examinees::Search(*statement); }))
        return;
    if (rows.empty()) {
        msgbox::Prompt(this, QStringLiteral("找不到要查询的考生！"), msgbox::RemindTitle());
        return;
    }
    m_left->Clear();
    for (const RegisteredExaminee& row : rows)
        m_left->AppendRow({row.person.name, row.person.department, row.person.position});
    ClearChoice();
}

void CCreateExam::MoveRight() {
    // The moved rows keep their order after the rows already on the right; the same
    // examinee may be moved twice (saving registers him once).
    const QList<int> ticked = m_left->TickedRows();
    for (int row : ticked)
        m_right->AppendRow({m_left->Text(row, kName), m_left->Text(row, kDepartment),
                            m_left->Text(row, kPosition)});
    for (auto it = ticked.crbegin(); it != ticked.crend(); ++it) m_left->removeRow(*it);
}

void CCreateExam::DeleteFromRight() {
    for (int row = m_right->rowCount() - 1; row >= 0; --row) {
        const bool highlighted =
            m_right->item(row, kName) && m_right->item(row, kName)->isSelected();
        if (m_right->IsTicked(row) || highlighted) m_right->removeRow(row);
    }
}

void CCreateExam::ClearChoice() {
    m_department->setCurrentIndex(-1);
    m_position->clear();
}

std::vector<Examinee> CCreateExam::RightExaminees() const {
    std::vector<Examinee> people;
    for (int row = 0; row < m_right->rowCount(); ++row)
        people.push_back({m_right->Text(row, kName), m_right->Text(row, kDepartment),
                          m_right->Text(row, kPosition)});
    return people;
}

void CCreateExam::Save() {
    exams::ExamForm form;
    form.name = m_examName->text();
    form.timeLimit = m_timeLimit->text();
    form.paperName = m_paperName->text();
    form.fullMarks = m_chosenFullMarks;
    form.passMark = m_passMark->text();
    form.start = QDateTime(m_startDate->date(), m_startTime->time());
    form.end = QDateTime(m_endDate->date(), m_endTime->time());
    const std::vector<Examinee> people = RightExaminees();

    Guarded(this, QStringLiteral("考试"), [&] {
        const QString refusal = exams::CreationRefusal(form, int(people.size()));
        if (!refusal.isEmpty()) {
            msgbox::Prompt(this, refusal);
            return;
        }
        const exams::BankCheck bank = exams::CheckBank(form.paperName);
        if (!bank.Sufficient() && !msgbox::Ask(this, exams::ShortfallQuestion(bank))) return;
        exams::CreateExam(form, people);
        msgbox::Prompt(this, QStringLiteral("考试创建成功!"));
        m_left->Clear();
        m_right->Clear();
        m_examName->clear();
        m_timeLimit->clear();
        m_passMark->clear();
        ClearChoice();
    });
}

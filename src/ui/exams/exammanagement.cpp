#include "ui/exams/exammanagement.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/clock.h"
#include "ui/common/checklist.h"
#include "ui/common/controls.h"
#include "ui/common/guarded.h"
#include "ui/common/listcolumns.h"

namespace {

const QString kTaken = QStringLiteral("已考");

QLineEdit* ReadOnlyEdit(QWidget* parent, const QRect& at, const char* name) {
    QLineEdit* edit = controls::Edit(parent, at, QString::fromLatin1(name));
    edit->setReadOnly(true);
    return edit;
}

}  // namespace

CExamManagement::CExamManagement(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vemo—考试管理"));
    setFixedSize(1000, 650);
    InstallScreenKeyFilter(this);
    BuildControls();
    ListExams();
}

void CExamManagement::BuildControls() {
    m_exams =
        new CCheckList({"选择", "序号", "考试名称", "开始时间", "结束时间", "试卷名称", "时效",
                        "考试号", "合格分数"},
                       {45, 45, 145, 168, 168, 145, 45, 0, 0}, CCheckList::Ticks::AtMostOne, this);
    m_exams->setObjectName(QStringLiteral("exams"));
    m_exams->setGeometry(20, 36, 800, 240);
    listcolumns::SortOnHeadingClick(m_exams);
    controls::Label(this, QStringLiteral("考试列表"), QRect(20, 10, 200, 22), m_exams);
    connect(m_exams, &CCheckList::TickChanged, this, &CExamManagement::OnExamTicked);

    auto* deleteExam =
        controls::Button(this, QStringLiteral("删除考试"), QRect(845, 50, 135, 34), "deleteExam");
    auto* show = controls::Button(this, QStringLiteral("查看考生"), QRect(845, 100, 135, 34),
                                  "showExaminees");
    auto* refresh =
        controls::Button(this, QStringLiteral("刷新考试"), QRect(845, 150, 135, 34), "refresh");
    auto* create =
        controls::Button(this, QStringLiteral("创建考试"), QRect(845, 200, 135, 34), "createExam");

    m_examinees = new CCheckList({"选择", "序号", "姓名", "部门", "职务", "状态", "ID"},
                                 {45, 45, 120, 120, 120, 45, 0}, CCheckList::Ticks::Many, this);
    m_examinees->setObjectName(QStringLiteral("examinees"));
    m_examinees->setGeometry(20, 316, 520, 216);  // the calligraphy goes below it
    listcolumns::SortOnHeadingClick(m_examinees);
    controls::Label(this, QStringLiteral("考生列表"), QRect(20, 290, 200, 22), m_examinees);
    auto* remove = controls::Button(this, QStringLiteral("删除\n所选考生"), QRect(555, 316, 90, 56),
                                    "removeExaminees");
    remove->setAccessibleName(QStringLiteral("删除所选考生"));

    m_examNameShown = ReadOnlyEdit(this, QRect(665, 316, 315, 26), "examName");
    controls::Label(this, QStringLiteral("考试名称显示"), QRect(665, 290, 200, 22),
                    m_examNameShown);
    auto* addGroup = new QGroupBox(QStringLiteral("手动添加考生"), this);
    addGroup->setGeometry(665, 356, 315, 200);
    m_addName = controls::DropDownList(this, QRect(740, 386, 220, 26), "addName");
    controls::Label(this, QStringLiteral("姓 名"), QRect(682, 386, 55, 26), m_addName);
    m_addDepartment = ReadOnlyEdit(this, QRect(740, 426, 220, 26), "addDepartment");
    controls::Label(this, QStringLiteral("部 门"), QRect(682, 426, 55, 26), m_addDepartment);
    m_addPosition = ReadOnlyEdit(this, QRect(740, 466, 220, 26), "addPosition");
    controls::Label(this, QStringLiteral("职 务"), QRect(682, 466, 55, 26), m_addPosition);
    auto* add =
        controls::Button(this, QStringLiteral("添加考生"), QRect(690, 508, 125, 32), "addExaminee");
    auto* clearAdd =
        controls::Button(this, QStringLiteral("清空选项"), QRect(830, 508, 125, 32), "clearAdd");
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_addName, m_addDepartment, m_addPosition, add, clearAdd})
        w->raise();

    auto* back = controls::Button(this, QStringLiteral("返回考试管理员管理"),
                                  QRect(665, 590, 195, 36), "back");
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(875, 590, 105, 36), "exit");

    connect(deleteExam, &QPushButton::clicked, this, &CExamManagement::DeleteExam);
    connect(show, &QPushButton::clicked, this, &CExamManagement::ShowExaminees);
    connect(refresh, &QPushButton::clicked, this, &CExamManagement::Refresh);
    connect(create, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::CreateExam); });
    connect(remove, &QPushButton::clicked, this, &CExamManagement::RemoveExaminees);
    connect(m_addName, &QComboBox::currentIndexChanged, this, &CExamManagement::OnNameChosen);
    connect(add, &QPushButton::clicked, this, &CExamManagement::AddExaminee);
    connect(clearAdd, &QPushButton::clicked, this, &CExamManagement::ClearAddFields);
    connect(back, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::ExamManager); });
    connect(exit, &QPushButton::clicked, this, [this] { ExitProgram(this); });
}

void CExamManagement::ListExams() {
    exams::ExamListing listing;
    if (!Guarded(this, QStringLiteral("考试"),
                 [&] { listing = exams::ListExams(clock_seam::Now()); }))
        return;
    int number = 0;
    for (const exams::ArrangedExam& e : listing.exams)
        m_exams->AppendRow({QString::number(++number), e.name, e.start, e.end, e.paperName, e.state,
                            e.number, e.passMark});
    if (listing.tampered) {
        msgbox::Warn(this, QStringLiteral("保存的考试信息已被篡改,将退出程序！"));
        ExitProgram(this);
    }
}

void CExamManagement::Forget() {
    m_examNo.clear();
    m_examName.clear();
    m_passMark.clear();
}

void CExamManagement::Refresh() {
    m_exams->Clear();
    m_examinees->Clear();
    m_examNameShown->clear();
    ClearAddFields();
    Forget();
    ListExams();
}

void CExamManagement::OnExamTicked() {
    m_addDepartment->clear();
    m_addPosition->clear();
    m_examinees->Clear();
    const QList<int> ticked = m_exams->TickedRows();
    if (ticked.isEmpty()) {
        m_examNameShown->clear();
        m_addName->clear();
        Forget();
        return;
    }
    const int row = ticked.first();
    m_examName = m_exams->Text(row, kExamName);
    m_examNo = m_exams->Text(row, kExamNo);
    m_passMark = m_exams->Text(row, kPassMark);
    m_examNameShown->setText(m_examName);
    QStringList names;
    Guarded(this, QStringLiteral("考试"), [&] { names = exams::UnregisteredNames(m_examNo); });
    const QSignalBlocker quiet(m_addName);
    m_addName->clear();
    m_addName->addItems(names);
    m_addName->setCurrentIndex(-1);
}

void CExamManagement::OnNameChosen() {
    m_addDepartment->clear();
    m_addPosition->clear();
    if (m_addName->currentIndex() < 0 || m_examNo.isEmpty()) return;
    Examinee first;
    Guarded(this, QStringLiteral("考试"),
            [&] { first = exams::FirstUnregistered(m_examNo, m_addName->currentText()); });
    m_addDepartment->setText(first.department);
    m_addPosition->setText(first.position);
}

void CExamManagement::DeleteExam() {
    if (m_examNo.toInt() <= 0) {
        msgbox::Prompt(this, QStringLiteral("请选择考试！"));
        return;
    }
    if (!msgbox::Ask(this, QStringLiteral("删除考试后，参加此考试保存的所有考生成绩同时被删除，\n\n"
                                          "您确定要删除吗？")))
        return;
    if (!Guarded(this, QStringLiteral("考试"), [&] { exams::DeleteExam(m_examNo); })) return;
    Refresh();
}

void CExamManagement::FillExaminees(const std::vector<exams::Registration>& rows) {
    m_examinees->Clear();
    int number = 0;
    for (const exams::Registration& r : rows)
        m_examinees->AppendRow({QString::number(++number), r.person.name, r.person.department,
                                r.person.position, r.scored ? kTaken : QString(),
                                QString::number(r.id)});
}

void CExamManagement::ShowExaminees() {
    if (m_examNo.isEmpty()) {
        msgbox::Prompt(this, QStringLiteral("请选择考卷！"));
        return;
    }
    m_examinees->Clear();
    exams::RegistrationListing listing;
    if (!Guarded(this, QStringLiteral("考试"),
                 [&] { listing = exams::CheckRegistrations(m_examNo); }))
        return;
    const QString tampered = exams::VerdictMessage(listing.verdict);
    if (!tampered.isEmpty()) {
        msgbox::Warn(this, tampered);
        ExitProgram(this);
        return;
    }
    FillExaminees(listing.registrations);
}

void CExamManagement::RemoveExaminees() {
    const QList<int> ticked = m_examinees->TickedRows();
    Guarded(this, QStringLiteral("考试"), [&] {
        for (auto it = ticked.crbegin(); it != ticked.crend(); ++it) {
            const QString name = m_examinees->Text(*it, kName);
            const bool removed =
                m_examinees->Text(*it, kStatus) != kTaken &&
                exams::RemoveRegistration(m_examinees->Text(*it, kId).toLongLong(), m_examNo);
            if (!removed)
                msgbox::Prompt(this, QStringLiteral("'%1'已完成考试，不能删除！").arg(name));
        }
    });
    std::vector<exams::Registration> rows;
    if (!m_examNo.isEmpty())
        Guarded(this, QStringLiteral("考试"), [&] { rows = exams::ListRegistrations(m_examNo); });
    FillExaminees(rows);
}

void CExamManagement::AddExaminee() {
    const Examinee examinee{m_addName->currentText(), m_addDepartment->text(),
                            m_addPosition->text()};
    if (examinee.name.isEmpty() || m_examNo.isEmpty()) {
        msgbox::Prompt(this, QStringLiteral("考生信息不能为空，请选择考试！"),
                       msgbox::RemindTitle());
        return;
    }
    exams::AddOutcome outcome = exams::AddOutcome::ExamEnded;
    if (!Guarded(this, QStringLiteral("考试"),
                 [&] { outcome = exams::AddRegistration(m_examNo, m_passMark, examinee); }))
        return;
    if (outcome == exams::AddOutcome::ExamEnded) {
        msgbox::Prompt(this, QStringLiteral("考试已结束！"));
        return;
    }
    msgbox::Prompt(this, QStringLiteral("添加成功!"));
    ShowExaminees();
    ClearAddFields();
    m_exams->SetAllTicked(false);
}

void CExamManagement::ClearAddFields() {
    const QSignalBlocker quiet(m_addName);
    m_addName->clear();
    m_addDepartment->clear();
    m_addPosition->clear();
}

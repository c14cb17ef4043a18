#include "ui/papers/setpaper.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screens.h"
#include "data/clock.h"
#include "data/dberror.h"
#include "data/questiontype.h"
#include "data/settings.h"
#include "rules/papers.h"
#include "rules/questionbank.h"
#include "ui/common/controls.h"
#include "ui/papers/typesection.h"

namespace {

constexpr int kSectionWidth = 316, kSectionHeight = 270, kGap = 10, kTop = 96;

QRect SectionSlot(int slot) {
    return QRect(kGap + (slot % 3) * (kSectionWidth + kGap),
                 kTop + (slot / 3) * (kSectionHeight + kGap), kSectionWidth, kSectionHeight);
}

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

void ShowDatabaseFailure(QWidget* screen, const DatabaseError& e) {
    msgbox::Prompt(screen, QStringLiteral("试卷数据读写失败：%1").arg(QString::fromUtf8(e.what())));
}

}  // namespace

CSetPaper::CSetPaper(QWidget* parent) : QDialog(parent), m_mode(papers::kSingleSubject) {
    setWindowTitle(QStringLiteral("Vemo—组卷"));
    setFixedSize(3 * kSectionWidth + 4 * kGap, kTop + 2 * (kSectionHeight + kGap));
    InstallScreenKeyFilter(this);
    BuildUpperArea();
    BuildSections();
    BuildLowerArea();

    m_modes[0]->setChecked(true);
    try {
        m_subject->addItems(bank::Subjects());
    } catch (const DatabaseError& e) {
        ShowDatabaseFailure(this, e);
    }
    m_subject->setCurrentIndex(-1);
    m_group->addItems(settings::TargetGroups());
    m_group->setCurrentIndex(-1);
    m_complete->hide();

    connect(m_subject, &QComboBox::currentIndexChanged, this, [this] { SubjectChanged(); });
    connect(m_group, &QComboBox::currentIndexChanged, this, [this] { RecountAll(); });
}

void CSetPaper::BuildUpperArea() {
    m_name = controls::Edit(this, QRect(82, 14, 180, 26), "paperName");
    m_subject = controls::DropDownList(this, QRect(322, 14, 150, 26), "subject");
    m_group = controls::DropDownList(this, QRect(532, 14, 150, 26), "group");
    controls::Label(this, QStringLiteral("试卷名称"), QRect(kGap, 14, 70, 26), m_name);
    controls::Label(this, QStringLiteral("科目"), QRect(282, 14, 38, 26), m_subject);
    controls::Label(this, QStringLiteral("对象"), QRect(492, 14, 38, 26), m_group);
    m_clearOptions =
        controls::Button(this, QStringLiteral("清空选项"), QRect(702, 13, 110, 28), "clearOptions");

    controls::Label(this, QStringLiteral("科目选项："), QRect(kGap, 54, 80, 26));
    const QStringList modes = {papers::kSingleSubject, papers::kMultiSubject, papers::kAllSubjects};
    const QStringList names = {"singleSubject", "multiSubject", "allSubjects"};
    for (int i = 0; i < modes.size(); ++i) {
        auto* radio = new QRadioButton(modes[i], this);
        radio->setObjectName(names[i]);
        radio->setGeometry(92 + i * 72, 54, 66, 26);
        const QString mode = modes[i];
        // The checked state decides, however it changed (click, key or assistive tool);
        // a click chooses again even the mode already chosen.
        connect(radio, &QRadioButton::toggled, this, [this, mode](bool checked) {
            if (checked) ChooseMode(mode);
        });
        connect(radio, &QRadioButton::clicked, this, [this, mode] { ChooseMode(mode); });
        m_modes << radio;
    }

    connect(m_clearOptions, &QPushButton::clicked, this, [this] { ClearOptions(); });
    connect(m_name, &QLineEdit::textEdited, this, [this] { NameEdited(); });
}

void CSetPaper::BuildSections() {
    // The five sections on screen in the order 单选题, 判断题, 多选题, 填空题, 问答题.
    struct Placed {
        QuestionType type;
        const char* name;
        int slot;
    };
    const Placed placed[] = {{QuestionType::Single, "single", 0},
                             {QuestionType::TrueFalse, "judge", 1},
                             {QuestionType::FillIn, "fill", 3},
                             {QuestionType::Multiple, "multiple", 2},
                             {QuestionType::Essay, "essay", 4}};
    auto choice = [this] {
        return CTypeSection::Choice{m_mode, m_subject->currentText(), m_group->currentText()};
    };
    for (const Placed& p : placed) {
        auto* section = new CTypeSection(qtype::Name(p.type), choice, this);
        section->setObjectName(p.name);
        section->setGeometry(SectionSlot(p.slot));
        connect(section, &CTypeSection::RuleAdded, this, [this] { m_subject->setEnabled(false); });
        m_sections << section;
    }
}

void CSetPaper::BuildLowerArea() {
    auto* pane = new QGroupBox(this);
    pane->setGeometry(SectionSlot(5));
    m_totalQuestions = controls::Edit(pane, QRect(100, 30, 120, 26), "totalQuestions");
    m_fullMarks = controls::Edit(pane, QRect(100, 66, 120, 26), "fullMarks");
    m_totalQuestions->setReadOnly(true);
    m_fullMarks->setReadOnly(true);
    controls::Label(pane, QStringLiteral("总题数"), QRect(30, 30, 66, 26), m_totalQuestions);
    controls::Label(pane, QStringLiteral("满  分"), QRect(30, 66, 66, 26), m_fullMarks);
    auto* show =
        controls::Button(pane, QStringLiteral("显示/刷新"), QRect(230, 48, 76, 28), "showTotals");
    auto* save = controls::Button(pane, QStringLiteral("保存"), QRect(30, 120, 120, 34), "save");
    m_complete = controls::Button(pane, QStringLiteral("多科完成"), QRect(166, 120, 120, 34),
                                  "completeMultiSubject");
    auto* back = controls::Button(pane, QStringLiteral("返回"), QRect(98, 180, 120, 34), "back");

    connect(show, &QPushButton::clicked, this, [this] { ShowTotals(); });
    connect(save, &QPushButton::clicked, this, [this] { Save(); });
    connect(m_complete, &QPushButton::clicked, this, [this] { CompleteMultiSubject(); });
    connect(back, &QPushButton::clicked, this, [this] {
        if (!RefuseLeaving()) screens::Go(this, screens::Id::TestManage);
    });
}

CTypeSection* CSetPaper::Section(const QString& type) const {
    for (CTypeSection* section : m_sections)
        if (section->Type() == type) return section;
    return nullptr;
}

void CSetPaper::ChooseMode(const QString& mode) {
    m_mode = mode;
    if (mode == papers::kAllSubjects) m_subject->setCurrentIndex(-1);
    m_subject->setEnabled(mode != papers::kAllSubjects);
    ResetAll();
}

void CSetPaper::ClearOptions() {
    m_name->clear();
    m_modes[0]->setChecked(true);
    m_mode = papers::kSingleSubject;
    m_subject->setEnabled(true);
    m_totalQuestions->clear();
    m_fullMarks->clear();
    ResetAll();
}

void CSetPaper::NameEdited() {
    // Rules belong to the name they were composed under.
    m_subject->setEnabled(m_mode != papers::kAllSubjects);
    m_totalQuestions->clear();
    m_fullMarks->clear();
    ResetAll();
}

void CSetPaper::SubjectChanged() {
    RecountAll();
    const QString subject = m_subject->currentText();
    if (m_mode != papers::kMultiSubject || m_name->text().isEmpty() || subject.isEmpty()) return;
    try {
        if (papers::SubjectComposed(m_name->text(), subject))
            msgbox::Prompt(this, QStringLiteral("此科目已经组卷！"));
    } catch (const DatabaseError& e) {
        ShowDatabaseFailure(this, e);
    }
}

void CSetPaper::RecountAll() {
    for (CTypeSection* section : m_sections) section->RecountAvailable();
}

void CSetPaper::ResetAll() {
    m_subject->setCurrentIndex(-1);
    m_group->setCurrentIndex(-1);
    for (CTypeSection* section : m_sections) section->ResetAll();
    m_complete->hide();
}

void CSetPaper::ResetSections() {
    for (CTypeSection* section : m_sections) section->ResetSection();
    m_subject->setCurrentIndex(-1);
    m_group->setCurrentIndex(-1);
    m_subject->setEnabled(m_mode != papers::kAllSubjects);
}

void CSetPaper::ShowTotals() {
    int questions = 0;
    double fullMarks = 0;
    for (const CTypeSection* section : m_sections) {
        const papers::SectionState state = section->State();
        questions += state.questions;
        fullMarks += state.total.toDouble();
    }
    m_totalQuestions->setText(QString::number(questions));
    m_fullMarks->setText(papers::FormatPoints(fullMarks));
}

void CSetPaper::Save() {
    const QString name = m_name->text();
    if (name.isEmpty()) {
        msgbox::Prompt(this, QStringLiteral("请输入的试卷名称！"));
        return;
    }
    papers::Sections sections;
    for (size_t t = 0; t < sections.size(); ++t) sections[t] = m_sections[int(t)]->State();
    const papers::PaperRecord record =
        papers::ComposePaper(name, m_mode, m_subject->currentText(), sections, clock_seam::Now());
    const bool multi = m_mode == papers::kMultiSubject;
    try {
        if (papers::PaperNameTaken(name)) {
            msgbox::Prompt(this, QStringLiteral("您输入的试卷名称已存在！"));
            return;
        }
        // Empty sections are refused before anything is said to have succeeded.
        if (papers::HasNoRules(record)) {
            msgbox::Prompt(this, QStringLiteral("请输入组卷数据！"));
            return;
        }
        const bool firstSubject = multi && !m_collecting;
        if (firstSubject && !AskFirstSubject()) return;
        papers::StorePaper(record, firstSubject);
        if (!multi) {
            msgbox::Prompt(this, QStringLiteral("组卷成功！"));
            m_name->clear();
            for (CTypeSection* section : m_sections) section->ReleasePoints();
        } else if (firstSubject) {
            m_collecting = true;
            m_name->setEnabled(false);
            for (QRadioButton* radio : m_modes) radio->setEnabled(false);
            m_clearOptions->hide();
        } else {
            m_complete->show();
            const int saved = papers::SavedSubjects(name);
            AskLaterSubject(name, saved);
            if (!m_collecting) return;
        }
    } catch (const DatabaseError& e) {
        ShowDatabaseFailure(this, e);
        return;
    }
    // The points of a 多科 paper stay fixed for every subject.
    ResetSections();
}

bool CSetPaper::AskFirstSubject() {
    if (msgbox::Ask(this, Text("多科第1个科目组卷成功，是否继续？\n继续组卷请按'是'，"
                               "放弃组卷请按'否'。")))
        return true;
    BackToIdle();
    return false;
}

void CSetPaper::AskLaterSubject(const QString& name, int ordinal) {
    const QString question = Text(
                                 "多科第%1个科目组卷成功，是否继续？\n继续组卷请按'是'，"
                                 "放弃组卷请按'否'；\n完成组卷按'是'后再请按“多科完成”。")
                                 .arg(ordinal);
    if (msgbox::Ask(this, question)) return;
    papers::DiscardSubjects(name);
    BackToIdle();
}

void CSetPaper::BackToIdle() {
    ResetAll();
    m_subject->setEnabled(m_mode != papers::kAllSubjects);
    m_name->setEnabled(true);
    m_name->clear();
    for (QRadioButton* radio : m_modes) radio->setEnabled(true);
    m_clearOptions->show();
    m_collecting = false;
}

void CSetPaper::CompleteMultiSubject() {
    try {
        papers::CompleteMultiSubject(m_name->text(), clock_seam::Now());
    } catch (const DatabaseError& e) {
        ShowDatabaseFailure(this, e);
        return;
    }
    msgbox::Prompt(this, QStringLiteral("完成多科组卷！"));
    m_name->setEnabled(true);
    m_name->clear();
    m_collecting = false;
    m_complete->hide();
    m_clearOptions->show();
    for (QRadioButton* radio : m_modes) radio->setEnabled(true);
}

bool CSetPaper::RefuseLeaving() {
    if (!m_collecting) return false;
    msgbox::Prompt(this, QStringLiteral("多科组卷未完成，不能退出"));
    return true;
}

void CSetPaper::closeEvent(QCloseEvent* event) {
    if (RefuseLeaving())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

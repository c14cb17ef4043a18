#include "ui/results/checkscore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/dberror.h"
#include "rules/answersheet.h"
#include "ui/common/checktable.h"
#include "ui/common/controls.h"
#include "ui/common/decor.h"
#include "ui/common/mymsgdlg.h"
#include "ui/results/savefile.h"

namespace {
constexpr int kNoticeSeconds = 6;
}  // namespace

// A failed database access ends the handler with a message instead of ending the
// program (a criterion with a quote can no longer break the query: values are bound).
template <class Handler>
void CCheckScore::Guarded(Handler&& handler) {
    try {
        handler();
    } catch (const DatabaseError& error) {
        msgbox::Warn(this, QStringLiteral("读写数据库时出错，本次操作未完成：") +
                               QString::fromUtf8(error.what()));
    }
}

CCheckScore::CCheckScore(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vemo—成绩查询"));
    setFixedSize(990, 670);
    InstallScreenKeyFilter(this);
    BuildControls();
    Guarded([this] {
        m_examName->addItems(results::ScoredExamNames());
        m_examName->setCurrentIndex(-1);
        if (results::EssaysWaiting())
            m_reminder->setText(QStringLiteral("提醒：有问答题需要手工批改！"));
        else
            m_grade->hide();
        IntegrityHolds();
    });
}

void CCheckScore::BuildControls() {
    m_name = controls::Edit(this, QRect(60, 20, 110, 26), QStringLiteral("name"));
    controls::Label(this, QStringLiteral("姓名"), QRect(15, 20, 40, 26), m_name);
    m_department =
        controls::DropDownList(this, QRect(225, 20, 140, 26), QStringLiteral("department"));
    controls::Label(this, QStringLiteral("部门"), QRect(180, 20, 40, 26), m_department);
    m_position = controls::DropDownList(this, QRect(420, 20, 150, 26), QStringLiteral("position"));
    controls::Label(this, QStringLiteral("职务"), QRect(375, 20, 40, 26), m_position);
    controls::LinkDepartmentToPositions(m_department, m_position);
    m_examName = controls::DropDownList(this, QRect(90, 60, 280, 26), QStringLiteral("examName"));
    controls::Label(this, QStringLiteral("考试名称"), QRect(15, 60, 70, 26), m_examName);
    controls::Label(this, QStringLiteral("（仅为已保存成绩的考试名称）"), QRect(380, 60, 250, 26));

    auto* query = controls::Button(this, QStringLiteral("查询"), QRect(15, 100, 100, 32),
                                   QStringLiteral("query"));
    auto* clear = controls::Button(this, QStringLiteral("清空选项"), QRect(125, 100, 100, 32),
                                   QStringLiteral("clear"));
    auto* rank = controls::Button(this, QStringLiteral("成绩排名"), QRect(235, 100, 100, 32),
                                  QStringLiteral("rank"));
    auto* showAll = controls::Button(this, QStringLiteral("显示全部"), QRect(345, 100, 100, 32),
                                     QStringLiteral("showAll"));

    const QStringList headings = {"选择", "序号", "名次",     "姓名",     "部门",    "职务",
                                  "成绩", "合格", "考试用时", "考试时间", "考试名称"};
    m_list = new CCheckTable(headings, {42, 42, 42, 110, 100, 100, 60, 42, 84, 160, 160}, this);
    m_list->hideColumn(kRankColumn);
    m_list->setObjectName(QStringLiteral("scores"));
    m_list->setAccessibleName(QStringLiteral("成绩列表"));
    m_list->setGeometry(15, 150, 960, 400);

    auto* tickAll = controls::Button(this, QStringLiteral("全选"), QRect(15, 562, 90, 30),
                                     QStringLiteral("tickAll"));
    auto* untickAll = controls::Button(this, QStringLiteral("全不选"), QRect(115, 562, 90, 30),
                                       QStringLiteral("untickAll"));
    auto* exportSheet = controls::Button(this, QStringLiteral("导出"), QRect(215, 562, 90, 30),
                                         QStringLiteral("export"));
    m_showTimeUsed = new QCheckBox(QStringLiteral("导出时显示考试用时"), this);
    m_showTimeUsed->setObjectName(QStringLiteral("showTimeUsed"));
    m_showTimeUsed->setGeometry(430, 562, 200, 30);
    auto* exportWorkbook = controls::Button(
        this, QStringLiteral("导出Excel"), QRect(315, 562, 100, 30), QStringLiteral("exportExcel"));
    auto* statistics = controls::Button(this, QStringLiteral("统计分析"), QRect(455, 100, 100, 32),
                                        QStringLiteral("statistics"));
    statistics->setEnabled(false);
    connect(m_examName, &QComboBox::currentIndexChanged, statistics,
            [statistics](int index) { statistics->setEnabled(index >= 0); });
    connect(statistics, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::ScoreStatistics, m_examName->currentText()); });
    connect(exportWorkbook, &QPushButton::clicked, this, &CCheckScore::ExportWorkbook);
    m_answerSheet = controls::Button(this, QStringLiteral("查看答卷"), QRect(640, 562, 100, 30),
                                     QStringLiteral("answerSheet"));
    m_answerSheet->setEnabled(false);
    m_answerSheet->setToolTip(QStringLiteral("勾选一名考生后查看其答卷"));
    connect(m_list->model(), &QAbstractItemModel::dataChanged, this,
            [this] { m_answerSheet->setEnabled(!TickedRegistration().isEmpty()); });
    connect(m_answerSheet, &QPushButton::clicked, this, &CCheckScore::ShowAnswerSheet);

    m_reminder = controls::Label(this, QString(), QRect(15, 612, 300, 34));
    m_reminder->setObjectName(QStringLiteral("reminder"));
    m_reminder->setStyleSheet(QStringLiteral("color: #c00000;"));
    m_grade = controls::Button(this, QStringLiteral("进入批卷"), QRect(320, 614, 110, 32),
                               QStringLiteral("grade"));
    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(765, 614, 100, 34),
                                  QStringLiteral("back"));
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(875, 614, 100, 34),
                                  QStringLiteral("exit"));

    connect(query, &QPushButton::clicked, this, &CCheckScore::Query);
    connect(clear, &QPushButton::clicked, this, &CCheckScore::ClearCriteria);
    connect(rank, &QPushButton::clicked, this, &CCheckScore::Rank);
    connect(showAll, &QPushButton::clicked, this, &CCheckScore::ShowAll);
    connect(tickAll, &QPushButton::clicked, this, [this] { m_list->SetAllTicked(true); });
    connect(untickAll, &QPushButton::clicked, this, [this] { m_list->SetAllTicked(false); });
    connect(exportSheet, &QPushButton::clicked, this, &CCheckScore::Export);
    connect(m_grade, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::HandworkCorrect); });
    connect(back, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::ExamManager); });
    connect(exit, &QPushButton::clicked, this, [this] { ExitProgram(this); });
}

bool CCheckScore::IntegrityHolds() {
    return IntegrityHolds(results::CheckIntegrity());
}

bool CCheckScore::IntegrityHolds(results::Integrity integrity) {
    if (integrity == results::Integrity::Intact) return true;
    ShowTimedNotice(this, results::IntegrityMessage(integrity), msgbox::PromptTitle(),
                    kNoticeSeconds);
    ExitProgram(this);
    return false;
}

void CCheckScore::Query() {
    m_list->Clear();
    Guarded([this] {
        if (!IntegrityHolds()) return;
        const results::Query query =
            results::QueryFor({m_name->text(), m_department->currentText(),
                               m_position->currentText(), m_examName->currentText()});
        if (query.refusal == results::QueryRefusal::AllEmpty) {
            msgbox::Prompt(this, QStringLiteral("查询条件不能全部为空！"));
            return;
        }
        if (!results::HasRegistrations()) return;
        if (!results::HasScores()) {
            msgbox::Prompt(this, QStringLiteral("考生成绩记录为空！"));
            return;
        }
        if (query.refusal == results::QueryRefusal::PositionOnly) {
            msgbox::Prompt(this, QStringLiteral("查询条件不能为空！"), msgbox::RemindTitle());
            return;
        }
        const auto rows = results::Run(query);
        if (rows.empty()) {
            msgbox::Prompt(this, QStringLiteral("找不到考生成绩记录！"));
            return;
        }
        Fill(std::move(rows));
    });
}

void CCheckScore::Rank() {
    m_list->Clear();
    const QString examName = m_examName->currentText();
    if (examName.isEmpty()) {
        msgbox::Prompt(this, QStringLiteral("请选择考试名称！"));
        return;
    }
    Guarded([&] {
        results::Ranking ranking = results::RankExam(examName);
        if (ranking.rows.empty()) {
            msgbox::Prompt(this, QStringLiteral("此考试没有考生成绩记录！"));
            return;
        }
        Fill(std::move(ranking.rows), ranking.ranks);
    });
}

void CCheckScore::ShowAll() {
    m_list->Clear();
    Guarded([this] {
        std::vector<results::ScoreRow> rows;
        if (!IntegrityHolds(results::CheckAndListAll(&rows)) || !results::HasRegistrations())
            return;
        if (rows.empty()) {
            msgbox::Prompt(this, QStringLiteral("考生成绩记录为空！"));
            return;
        }
        Fill(std::move(rows));
    });
}

void CCheckScore::ClearCriteria() {
    m_name->clear();
    m_department->setCurrentIndex(-1);
    m_position->clear();
    m_examName->setCurrentIndex(-1);
}

// The 名次 column shows only with ranks: a query or 显示全部 has none.
void CCheckScore::Fill(std::vector<results::ScoreRow> rows, const QStringList& ranks) {
    QList<QStringList> texts;
    texts.reserve(qsizetype(rows.size()));
    m_registrationIds.clear();
    m_registrationIds.reserve(rows.size());
    m_answerSheet->setEnabled(false);
    // Moved, not copied: 显示全部 lists every scored row.
    for (size_t i = 0; i < rows.size(); ++i) {
        results::ScoreRow& r = rows[i];
        m_registrationIds.push_back(std::move(r.registrationId));
        texts.append(QStringList{QString::number(i + 1), ranks.value(qsizetype(i)),
                                 std::move(r.name), std::move(r.department), std::move(r.position),
                                 std::move(r.score), std::move(r.verdict), std::move(r.timeUsed),
                                 std::move(r.handInTime), std::move(r.examName)});
    }
    m_list->setColumnHidden(kRankColumn, ranks.isEmpty());
    m_list->AppendRows(texts);
}

// The list as shown, scores as numbers; named after the exam when it shows only one.
void CCheckScore::ExportWorkbook() {
    QString examName = m_list->rowCount() > 0 ? m_list->Text(0, kExamNameColumn) : QString();
    for (int row = 1; row < m_list->rowCount() && !examName.isEmpty(); ++row)
        if (m_list->Text(row, kExamNameColumn) != examName) examName.clear();
    savefile::SaveListAsWorkbook(this, m_list, kNumberColumn, {kScoreColumn},
                                 QStringLiteral("成绩"), examName + QStringLiteral("成绩.xlsx"));
}

// The registration of the one ticked row when it holds a score; absentees have none.
QString CCheckScore::TickedRegistration() const {
    const QList<int> ticked = m_list->TickedRows();
    if (ticked.size() != 1 || size_t(ticked[0]) >= m_registrationIds.size()) return QString();
    return m_registrationIds[size_t(ticked[0])];
}

void CCheckScore::ShowAnswerSheet() {
    const QString registrationId = TickedRegistration();
    if (registrationId.isEmpty()) return;
    Guarded([&] {
        if (answersheet::Load(registrationId).rows.empty()) {
            msgbox::Prompt(this,
                           QStringLiteral("这次考试的成绩保存于答卷功能启用之前，没有保存答卷！"));
            return;
        }
        screens::Open(this, screens::Id::AnswerSheet, registrationId);
    });
}

void CCheckScore::Export() {
    std::vector<results::ListedRow> ticked;
    for (int row : m_list->TickedRows()) {
        auto text = [this, row](int column) { return m_list->Text(row, column); };
        ticked.push_back(
            {text(kNumberColumn),
             {text(kNameColumn), text(kDepartmentColumn), text(kPositionColumn), text(kScoreColumn),
              text(kVerdictColumn), text(kTimeUsedColumn), text(kHandInColumn),
              text(kExamNameColumn), m_registrationIds.at(size_t(row))}});
    }
    m_list->SetAllTicked(false);
    results::ExportPlan plan =
        results::PlanExport(m_list->rowCount(), ticked, m_showTimeUsed->isChecked());
    if (plan.refusal != results::ExportRefusal::None) {
        msgbox::Prompt(this, results::ExportRefusalMessage(plan.refusal));
        return;
    }
    Guarded([&] {
        plan.sheet.paperName = results::PaperOf(plan.sheet.examName);
        screens::Go(this, screens::Id::ScoreMap, QVariant::fromValue(plan.sheet));
    });
}

void CCheckScore::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    decor::PaintCalligraphy(painter, QRect(650, 10, 200, 133));
}

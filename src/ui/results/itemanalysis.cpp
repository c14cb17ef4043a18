#include "ui/results/itemanalysis.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <limits>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screens.h"
#include "data/dberror.h"
#include "rules/statistics.h"
#include "ui/common/controls.h"
#include "ui/results/savefile.h"

namespace {

// Sorts by the number behind the text; a figure that cannot be computed ("—") sorts
// below every number.
class NumberItem : public QTableWidgetItem {
public:
    NumberItem(const QString& text, double key) : QTableWidgetItem(text), m_key(key) {
        setTextAlignment(Qt::AlignCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const auto* number = dynamic_cast<const NumberItem*>(&other);
        return number ? m_key < number->m_key : QTableWidgetItem::operator<(other);
    }

private:
    double m_key;
};

QTableWidgetItem* Count(int count) {
    return new NumberItem(QString::number(count), count);
}

QTableWidgetItem* Figure(const std::optional<double>& value) {
    if (!value)
        return new NumberItem(QStringLiteral("—"), -std::numeric_limits<double>::infinity());
    return new NumberItem(QString::number(*value, 'f', 2), *value);
}

}  // namespace

CItemAnalysis::CItemAnalysis(const QString& examName, QWidget* parent)
    : QDialog(parent), m_examName(examName) {
    setWindowTitle(QStringLiteral("Vemo—试题分析"));
    setFixedSize(1300, 660);
    InstallScreenKeyFilter(this);
    controls::Label(this, QStringLiteral("考试名称：") + examName, QRect(15, 12, 800, 26));

    const QStringList headings = {"题型",   "题目编号", "科目",   "题干",       "抽到次数",
                                  "已评分", "难度系数", "区分度", "点二列相关", "选A",
                                  "选B",    "选C",      "选D",    "选E",        "提示"};
    m_table = new QTableWidget(0, kColumnCount, this);
    m_table->setObjectName(QStringLiteral("items"));
    m_table->setAccessibleName(QStringLiteral("试题分析表"));
    m_table->setHorizontalHeaderLabels(headings);
    m_table->setGeometry(15, 45, 1270, 545);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(false);
    const int widths[kColumnCount] = {62, 70, 80, 340, 70, 60, 70, 60, 84, 44, 44, 44, 44, 44, 150};
    for (int column = 0; column < kColumnCount; ++column)
        m_table->setColumnWidth(column, widths[column]);

    auto* note = controls::Label(
        this,
        QStringLiteral(
            "难度系数：得分占分值的平均比例；区分度：总分前27%与后27%考生的难度系数之差；"
            "未批改的问答题不计入。"),
        QRect(15, 600, 900, 20));
    note->setObjectName(QStringLiteral("note"));
    auto* exportSheet = controls::Button(this, QStringLiteral("导出Excel"),
                                         QRect(1065, 610, 105, 34), QStringLiteral("exportExcel"));
    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(1180, 610, 105, 34),
                                  QStringLiteral("back"));
    connect(exportSheet, &QPushButton::clicked, this, [this] {
        savefile::SaveListAsWorkbook(
            this, m_table, 0,
            {kIdColumn, kDrawnColumn, kGradedColumn, kFacilityColumn, kDiscriminationColumn,
             kPointBiserialColumn, kOptionAColumn, kOptionAColumn + 1, kOptionAColumn + 2,
             kOptionAColumn + 3, kOptionAColumn + 4},
            QStringLiteral("试题分析"), m_examName + QStringLiteral("试题分析.xlsx"));
    });
    connect(back, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::ScoreStatistics, m_examName); });
    Fill(examName);
}

void CItemAnalysis::Fill(const QString& examName) {
    std::vector<statistics::ItemRow> rows;
    try {
        rows = statistics::LoadItemAnalysis(examName);
    } catch (const DatabaseError& error) {
        msgbox::Warn(this, QStringLiteral("读写数据库时出错，本次操作未完成：") +
                               QString::fromUtf8(error.what()));
        return;
    }
    if (rows.empty()) {
        findChild<QLabel*>(QStringLiteral("note"))->setText(QStringLiteral("此考试没有答卷记录！"));
        return;
    }
    m_table->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const statistics::ItemRow& row = rows[size_t(r)];
        const statistics::ItemFigures& f = row.figures;
        auto* type = new QTableWidgetItem(row.type);
        type->setTextAlignment(Qt::AlignCenter);
        m_table->setItem(r, kTypeColumn, type);
        m_table->setItem(r, kIdColumn,
                         new NumberItem(QString::number(row.questionId), double(row.questionId)));
        m_table->setItem(r, kSubjectColumn, new QTableWidgetItem(row.subject));
        auto* stem = new QTableWidgetItem(row.stem.simplified());
        stem->setToolTip(row.stem);
        m_table->setItem(r, kStemColumn, stem);
        m_table->setItem(r, kDrawnColumn, Count(f.drawn));
        m_table->setItem(r, kGradedColumn, Count(f.graded));
        m_table->setItem(r, kFacilityColumn, Figure(f.facility));
        m_table->setItem(r, kDiscriminationColumn, Figure(f.discrimination));
        m_table->setItem(r, kPointBiserialColumn, Figure(f.pointBiserial));
        const bool choice = statistics::IsChoiceType(row.type);
        for (int option = 0; option < 5; ++option)
            m_table->setItem(
                r, kOptionAColumn + option,
                choice ? Count(f.optionCounts[size_t(option)]) : new NumberItem(QString(), -1));
        auto* flags = new QTableWidgetItem(statistics::Flags(f).join(QLatin1Char(' ')));
        flags->setForeground(QColor(192, 0, 0));
        flags->setTextAlignment(Qt::AlignCenter);
        m_table->setItem(r, kFlagsColumn, flags);
    }
    // No column sorted yet: the rows stay in the paper's order until a heading is clicked.
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
}

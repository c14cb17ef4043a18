#include "ui/papers/testmanage.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/dberror.h"
#include "data/questiontype.h"
#include "rules/papers.h"
#include "ui/common/controls.h"
#include "ui/common/decor.h"
#include "ui/common/guarded.h"
#include "ui/common/listcolumns.h"
#include "ui/common/look.h"

namespace {

constexpr int kIdColumn = 10;
constexpr int kNameColumn = 1;

}  // namespace

CTestManage::CTestManage(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vemo—试卷管理"));
    setFixedSize(1100, 660);
    InstallScreenKeyFilter(this);
    BuildControls();
    ListPapers(true);
}

void CTestManage::BuildControls() {
    controls::Label(this, QStringLiteral("试卷显示："), QRect(20, 10, 200, 24));
    controls::Label(this, QStringLiteral("提示：右击试卷可进一步操作。"), QRect(600, 10, 330, 24),
                    nullptr, Qt::AlignRight | Qt::AlignVCenter);

    const QStringList headings = QStringList{"序号", "试卷名称"} + qtype::Names() +
                                 QStringList{"总题数", "满分", "创建时间", "ID"};
    const QList<int> widths = {42, 100, 125, 125, 125, 125, 125, 60, 60, 168, 0};
    m_list = new QTableWidget(0, int(headings.size()), this);
    m_list->setObjectName(QStringLiteral("paperList"));
    m_list->setAccessibleName(QStringLiteral("试卷显示"));
    m_list->setGeometry(20, 46, 1060, 290);  // under the header band
    m_list->setHorizontalHeaderLabels(headings);
    m_list->verticalHeader()->hide();
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    for (int c = 0; c < widths.size(); ++c) {
        if (widths[c] == 0)
            m_list->hideColumn(c);
        else
            m_list->setColumnWidth(c, widths[c]);
    }
    listcolumns::SortOnHeadingClick(m_list);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const std::unique_ptr<QMenu> menu = RowMenu(at);
        menu->exec(m_list->viewport()->mapToGlobal(at));
    });

    // The section details, in the storage order of the types.
    const QStringList types = qtype::Names();
    for (int t = 0; t < types.size(); ++t) {
        const int y = 356 + t * 40;
        auto* text = new QLabel(this);
        text->setObjectName("section" + QString::number(t));
        text->setGeometry(90, y, 540, 36);
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setAccessibleName(types[t]);
        m_typeLabels << controls::Label(this, types[t], QRect(20, y, 64, 36), text);
        m_sections << text;
    }

    auto* compose =
        controls::Button(this, QStringLiteral("组卷"), QRect(930, 360, 130, 34), "compose");
    auto* exportPaper =
        controls::Button(this, QStringLiteral("导出试卷"), QRect(930, 410, 130, 34), "export");
    m_clear = controls::Button(this, QStringLiteral("清空"), QRect(930, 460, 130, 34), "clear");
    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(930, 550, 130, 34), "back");
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(930, 600, 130, 34), "exit");

    connect(compose, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::SetPaper); });
    connect(exportPaper, &QPushButton::clicked, this, [this] { ExportPaper(); });
    connect(m_clear, &QPushButton::clicked, this, [this] { HideDetails(); });
    connect(back, &QPushButton::clicked, this, [this] { screens::Go(this, screens::Id::Admin); });
    connect(exit, &QPushButton::clicked, this, [this] { ExitProgram(this); });
}

void CTestManage::ListPapers(bool checkCodes) {
    m_list->setRowCount(0);
    std::vector<papers::ListedPaper> listed;
    Guarded(this, QStringLiteral("试卷"), [&] { listed = papers::ListPapers(); });
    for (const papers::ListedPaper& paper : listed) {
        const int row = m_list->rowCount();
        m_list->insertRow(row);
        QStringList cells = QStringList{QString::number(row + 1)} + paper.cells;
        cells << QString::number(paper.id);
        for (int c = 0; c < cells.size(); ++c) {
            auto* cell = new QTableWidgetItem(cells[c]);
            cell->setTextAlignment(Qt::AlignCenter);
            cell->setToolTip(cells[c]);  // rule texts are longer than their column
            m_list->setItem(row, c, cell);
        }
        if (checkCodes && !paper.intact) {
            msgbox::Prompt(this, QStringLiteral("保存的试卷信息已被篡改,将退出程序！"));
            ExitProgram(this);
            return;
        }
    }
    listcolumns::FitToTexts(m_list);
    HideDetails();
}

std::unique_ptr<QMenu> CTestManage::RowMenu(const QPoint& at) {
    auto menu = std::make_unique<QMenu>();
    QAction* details = menu->addAction(QStringLiteral("考题详情"));
    QAction* remove = menu->addAction(QStringLiteral("删除试卷"));
    const int row = m_list->indexAt(at).row();
    if (row < 0) {
        details->setEnabled(false);
        remove->setEnabled(false);
        return menu;
    }
    m_list->selectRow(row);
    const qlonglong id = m_list->item(row, kIdColumn)->text().toLongLong();
    connect(details, &QAction::triggered, this, [this, id] { ShowDetails(id); });
    connect(remove, &QAction::triggered, this, [this, row, id] { DeletePaper(row, id); });
    return menu;
}

void CTestManage::ShowDetails(qlonglong id) {
    for (QLabel* label : m_typeLabels) label->show();
    m_clear->show();
    for (QLabel* text : m_sections) text->clear();
    Guarded(this, QStringLiteral("试卷"), [&] {
        const QStringList sections = papers::PaperSections(id);
        for (int t = 0; t < sections.size() && t < m_sections.size(); ++t)
            m_sections[t]->setText(sections[t]);
    });
}

void CTestManage::HideDetails() {
    for (QLabel* text : m_sections) text->clear();
    for (QLabel* label : m_typeLabels) label->hide();
    m_clear->hide();
}

void CTestManage::DeletePaper(int row, qlonglong id) {
    m_list->removeRow(row);
    Guarded(this, QStringLiteral("试卷"), [&] { papers::DeletePaper(id); });
    ListPapers(false);
}

void CTestManage::ExportPaper() {
    const QModelIndexList selected = m_list->selectionModel()->selectedRows(kNameColumn);
    const QString name = selected.isEmpty() ? QString() : selected.first().data().toString();
    if (name.isEmpty()) {
        msgbox::Prompt(this, QStringLiteral("请左键点击选择试卷！"));
        return;
    }
    m_list->clearSelection();
    m_list->setCurrentIndex(QModelIndex());
    screens::Open(this, screens::Id::WordPaper, name);
}

void CTestManage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    decor::PaintCalligraphy(painter, look::Placed(this, QRect(660, 500, 210, 140)));
}

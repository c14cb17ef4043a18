#include "ui/bank/exampaper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>

#include "app/datafolder.h"
#include "app/desktop.h"
#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/dberror.h"
#include "data/questiontype.h"
#include "rules/importworkbook.h"
#include "ui/common/controls.h"
#include "ui/common/decor.h"
#include "ui/common/guarded.h"
#include "ui/common/listcolumns.h"
#include "ui/common/readedit.h"

namespace {

const QString kTemplate = QStringLiteral("questions.xls");
constexpr int kIdColumn = 12;

struct ListColumn {
    const char* title;
    int width;
    Qt::Alignment alignment;
};

const ListColumn kColumns[] = {
    {"序号", 45, Qt::AlignCenter}, {"科目", 60, Qt::AlignCenter},
    {"题型", 60, Qt::AlignCenter}, {"题干", 350, Qt::AlignLeft | Qt::AlignVCenter},
    {"答案", 80, Qt::AlignCenter}, {"A", 100, Qt::AlignCenter},
    {"B", 100, Qt::AlignCenter},   {"C", 100, Qt::AlignCenter},
    {"D", 100, Qt::AlignCenter},   {"E", 100, Qt::AlignCenter},
    {"难度", 50, Qt::AlignCenter}, {"对象", 80, Qt::AlignCenter},
    {"ID", 0, Qt::AlignCenter},
};

}  // namespace

CExamPaper::CExamPaper(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vemo—题库管理"));
    setFixedSize(1000, 708);
    InstallScreenKeyFilter(this);
    BuildFilters();
    BuildList();
    BuildButtons();
    SetPagingVisible(false);
    m_cellViewer->hide();
}

void CExamPaper::BuildFilters() {
    auto* group = new QGroupBox(QStringLiteral("题库查询"), this);
    group->setGeometry(20, 10, 850, 112);
    m_subject = controls::DropDownList(this, QRect(85, 38, 150, 26), "subject");
    controls::Label(this, QStringLiteral("科目"), QRect(40, 38, 40, 26), m_subject);
    Guarded(this, QStringLiteral("题库"), [&] { m_subject->addItems(bank::Subjects()); });
    m_subject->setCurrentIndex(-1);

    const QStringList names = {"singleChoice", "trueFalse", "fillIn", "multipleChoice", "essay"};
    const QStringList types = qtype::Names();
    for (int i = 0; i < types.size(); ++i) {
        auto* box = new QCheckBox(types[i], this);
        box->setObjectName(names[i]);
        box->setGeometry(270 + i * 85, 38, 80, 26);
        m_types << box;
    }

    m_keyword = controls::Edit(this, QRect(85, 80, 480, 26), "keyword");
    controls::Label(this, QStringLiteral("题  干\n关键字"), QRect(35, 72, 48, 42), m_keyword,
                    Qt::AlignCenter);
    m_keyword->setAccessibleName(QStringLiteral("题干关键字"));
    auto* query = controls::Button(this, QStringLiteral("查询"), QRect(600, 78, 100, 30), "query");
    auto* clear =
        controls::Button(this, QStringLiteral("清空选项"), QRect(720, 78, 100, 30), "clearFilters");
    connect(query, &QPushButton::clicked, this, [this] { Query(); });
    connect(clear, &QPushButton::clicked, this, &CExamPaper::ClearFilters);
}

void CExamPaper::BuildList() {
    controls::Label(this, QStringLiteral("提示:表内左键双击将删除本行内容。"),
                    QRect(20, 128, 300, 22));
    controls::Label(this, QStringLiteral("右击单元格显示其全部内容。"), QRect(330, 128, 300, 22));

    m_list = new QTableWidget(0, int(std::size(kColumns)), this);
    m_list->setObjectName(QStringLiteral("questionList"));
    m_list->setAccessibleName(QStringLiteral("题目列表"));
    m_list->setGeometry(20, 152, 960, 362);  // the calligraphy goes below it
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(24);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    for (int c = 0; c < int(std::size(kColumns)); ++c) {
        auto* header = new QTableWidgetItem(QString::fromUtf8(kColumns[c].title));
        header->setTextAlignment(kColumns[c].alignment);
        m_list->setHorizontalHeaderItem(c, header);
        m_list->horizontalHeader()->resizeSection(c, kColumns[c].width);
    }
    m_list->setColumnHidden(kIdColumn, true);
    listcolumns::SortOnHeadingClick(m_list);
    connect(m_list, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { DeleteRow(row); });
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = m_list->indexAt(at);
        if (index.isValid()) ShowCell(index.row(), index.column());
    });

    m_cellViewer = new CReadEdit(this);
    m_cellViewer->setObjectName(QStringLiteral("cellViewer"));
    m_cellViewer->setAccessibleName(QStringLiteral("单元格内容"));
}

void CExamPaper::BuildButtons() {
    const QStringList captions = {"首页", "<<", ">>", "末页"};
    const QStringList names = {"firstPage", "previousPage", "nextPage", "lastPage"};
    // Left of the calligraphy, which stands under the middle of this row.
    const int left[] = {20, 95, 335, 410};
    const bank::PagingButton buttons[] = {bank::PagingButton::First, bank::PagingButton::Previous,
                                          bank::PagingButton::Next, bank::PagingButton::Last};
    for (int i = 0; i < 4; ++i) {
        auto* button = controls::Button(this, captions[i], QRect(left[i], 558, 70, 30), names[i]);
        const bank::PagingButton which = buttons[i];
        connect(button, &QPushButton::clicked, this, [this, which] { Page(which); });
        m_paging << button;
    }
    m_paging[1]->setAccessibleName(QStringLiteral("上一页"));
    m_paging[2]->setAccessibleName(QStringLiteral("下一页"));
    m_pageLabel =
        controls::Label(this, QString(), QRect(170, 560, 160, 26), nullptr, Qt::AlignCenter);
    m_pageLabel->setObjectName(QStringLiteral("pageLabel"));
    auto* clearList =
        controls::Button(this, QStringLiteral("清空列表"), QRect(880, 558, 100, 30), "clearList");
    connect(clearList, &QPushButton::clicked, this, &CExamPaper::ClearList);

    auto* add =
        controls::Button(this, QStringLiteral("手动添加"), QRect(20, 662, 110, 34), "addQuestion");
    auto* import =
        controls::Button(this, QStringLiteral("题目导入"), QRect(140, 662, 110, 34), "import");
    auto* openTemplate = controls::Button(this, QStringLiteral("题目模板"),
                                          QRect(260, 662, 110, 34), "openTemplate");
    auto* settings = controls::Button(this, QStringLiteral("科目/对象设置"),
                                      QRect(380, 662, 130, 34), "settings");
    auto* clearBank =
        controls::Button(this, QStringLiteral("删除题库"), QRect(520, 662, 110, 34), "clearBank");
    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(760, 662, 100, 34), "back");
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(880, 662, 100, 34), "exit");
    connect(add, &QPushButton::clicked, this,
            [this] { screens::Open(this, screens::Id::AddQuestion); });
    connect(import, &QPushButton::clicked, this, &CExamPaper::Import);
    connect(openTemplate, &QPushButton::clicked, this, &CExamPaper::OpenTemplate);
    connect(settings, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::VariouSet); });
    connect(clearBank, &QPushButton::clicked, this, &CExamPaper::ClearBank);
    connect(back, &QPushButton::clicked, this, [this] { screens::Go(this, screens::Id::Admin); });
    connect(exit, &QPushButton::clicked, this, [this] { ExitProgram(this); });
}

void CExamPaper::Query() {
    bank::Filter filter;
    for (QCheckBox* box : m_types)
        if (box->isChecked()) filter.types << box->text();
    if (filter.types.isEmpty()) {
        msgbox::Prompt(this, QStringLiteral("题型为必选！"));
        return;
    }
    filter.subject = m_subject->currentText();
    filter.keyword = m_keyword->text();
    m_list->setRowCount(0);
    Guarded(this, QStringLiteral("题库"), [&] {
        const bank::Page page = bank::QueryPage(filter, m_page);
        // No match keeps the page label and paging as they were.
        if (page.matches == 0) return;
        ShowPage(page);
        m_pageCount = bank::PageCount(page.matches);
        m_pageLabel->setText(bank::PageLabel(m_page, m_pageCount));
        SetPagingVisible(true);
    });
}

void CExamPaper::ShowPage(const bank::Page& page) {
    m_list->setRowCount(int(page.rows.size()));
    for (int r = 0; r < int(page.rows.size()); ++r) {
        const bank::ListedQuestion& question = page.rows[size_t(r)];
        QStringList texts = QStringList{QString::number(question.number)} + question.cells;
        texts << question.id;
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setTextAlignment(kColumns[c].alignment);
            m_list->setItem(r, c, item);
        }
    }
    listcolumns::FitToTexts(m_list);
}

void CExamPaper::Page(bank::PagingButton button) {
    const auto target = bank::PageAfter(button, m_page, m_pageCount);
    if (!target) return;
    m_page = *target;
    Query();
}

void CExamPaper::SetPagingVisible(bool visible) {
    for (QPushButton* button : m_paging) button->setVisible(visible);
    m_pageLabel->setVisible(visible);
}

void CExamPaper::ClearFilters() {
    m_keyword->clear();
    for (QCheckBox* box : m_types) box->setChecked(false);
    m_subject->setCurrentIndex(-1);
}

void CExamPaper::ClearList() {
    m_list->setRowCount(0);
    SetPagingVisible(false);
}

void CExamPaper::DeleteRow(int row) {
    if (row < 0 || row >= m_list->rowCount()) return;
    const QString type = m_list->item(row, 2)->text();
    const QString id = m_list->item(row, kIdColumn)->text();
    m_list->removeRow(row);
    Guarded(this, QStringLiteral("题库"), [&] {
        if (bank::DeleteQuestion(type, id))
            msgbox::Prompt(this, QStringLiteral("有图片文件被删除"));
    });
}

void CExamPaper::ShowCell(int row, int column) {
    if (column == 0 || m_list->rowCount() == 0) return;
    const QRect cell = m_list->visualRect(m_list->model()->index(row, column));
    const QPoint topLeft = m_list->viewport()->mapTo(this, cell.topLeft());
    m_cellViewer->setGeometry(topLeft.x(), topLeft.y(), m_list->columnWidth(column), 100);
    m_cellViewer->setPlainText(m_list->item(row, column)->text());
    m_cellViewer->show();
    m_cellViewer->raise();
    m_cellViewer->setFocus();
}

void CExamPaper::OpenTemplate() {
    const QString path = datafolder::TemplateFile(kTemplate);
    if (!QFile::exists(path) || !desktop::OpenWithSystem(path))
        msgbox::Prompt(
            this, QStringLiteral("无法打开题目导入模板“%1”。").arg(QDir::toNativeSeparators(path)));
}

void CExamPaper::Import() {
    const QString path =
        desktop::GetOpenFileName(this, QStringLiteral("打开"), import_workbook::FileDialogFilter());
    if (path.isEmpty()) return;
    if (!import_workbook::IsAcceptedName(path, QStringLiteral("questions"))) {
        msgbox::Prompt(this, QStringLiteral("请选择'questions.xls'文件"));
        return;
    }
    if (screens::Open(this, screens::Id::ExamInandout, QStringList{QStringLiteral("导入"), path}) ==
        QDialog::Accepted)
        m_list->setRowCount(0);
}

void CExamPaper::ClearBank() {
    if (screens::Open(this, screens::Id::ExamInandout,
                      QStringList{QStringLiteral("删除"), QString()}) == QDialog::Accepted)
        m_list->setRowCount(0);
}

void CExamPaper::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    decor::PaintEmblem(painter, QPoint(880, 16));
}

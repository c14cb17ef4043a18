#include "ui/exams/exammanager.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableView>

#include "app/datafolder.h"
#include "app/desktop.h"
#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/dberror.h"
#include "rules/examinees.h"
#include "rules/importworkbook.h"
#include "ui/common/controls.h"
#include "ui/common/decor.h"
#include "ui/common/guarded.h"
#include "ui/common/look.h"

// The examinee list: 序号, 姓名, 部门, 职务 and the hidden ID. A row keeps the number it
// was listed with when rows above it are deleted.
class CExamineeListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    enum Column { kNumber, kName, kDepartment, kPosition, kId, kColumnCount };

    void Fill(std::vector<RegisteredExaminee> rows) {
        beginResetModel();
        m_rows = std::move(rows);
        m_numbers.resize(m_rows.size());
        for (size_t i = 0; i < m_numbers.size(); ++i) m_numbers[i] = int(i) + 1;
        endResetModel();
    }
    void Clear() { Fill({}); }
    qlonglong IdAt(int row) const { return m_rows[size_t(row)].id; }
    void RemoveAt(int row) {
        beginRemoveRows(QModelIndex(), row, row);
        m_rows.erase(m_rows.begin() + row);
        m_numbers.erase(m_numbers.begin() + row);
        endRemoveRows();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : kColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return QVariant();
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
        if (role != Qt::DisplayRole) return QVariant();
        const RegisteredExaminee& row = m_rows[size_t(index.row())];
        switch (index.column()) {
            case kNumber:
                return QString::number(m_numbers[size_t(index.row())]);
            case kName:
                return row.person.name;
            case kDepartment:
                return row.person.department;
            case kPosition:
                return row.person.position;
            case kId:
                return QString::number(row.id);
            default:
                return QVariant();
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal) return QVariant();
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
        if (role != Qt::DisplayRole) return QVariant();
        static const char* const titles[] = {"序号", "姓名", "部门", "职务", "ID"};
        return QString::fromUtf8(titles[section]);
    }

private:
    std::vector<RegisteredExaminee> m_rows;
    std::vector<int> m_numbers;
};

namespace {

const QString kTemplate = QStringLiteral("examinee.xls");
const QString kWorkbookBaseName = QStringLiteral("examinee");

}  // namespace

CExamManager::CExamManager(QWidget* parent)
    : QDialog(parent), m_model(new CExamineeListModel(this)) {
    setWindowTitle(QStringLiteral("Vemo—考试管理员管理"));
    setFixedSize(800, 680);
    InstallScreenKeyFilter(this);
    BuildControls();
}

CExamManager::~CExamManager() = default;

void CExamManager::BuildControls() {
    // Search.
    controls::Label(this, QStringLiteral("考生信息查询："), QRect(20, 10, 200, 22));
    m_searchName =
        controls::Edit(this, QRect(20, 60, 150, 26), "searchName", QStringLiteral("查询 姓名"));
    m_searchDepartment = controls::DropDownList(this, QRect(185, 60, 150, 26), "searchDepartment",
                                                QStringLiteral("查询 部门"));
    m_searchPosition = controls::DropDownList(this, QRect(350, 60, 150, 26), "searchPosition",
                                              QStringLiteral("查询 职务"));
    controls::Label(this, QStringLiteral("姓名"), QRect(20, 36, 150, 22), m_searchName);
    controls::Label(this, QStringLiteral("部门"), QRect(185, 36, 150, 22), m_searchDepartment);
    controls::Label(this, QStringLiteral("职务"), QRect(350, 36, 150, 22), m_searchPosition);
    auto* search =
        controls::Button(this, QStringLiteral("查询"), QRect(530, 58, 110, 30), "search");
    auto* clearSearch = controls::Button(this, QStringLiteral("清空选项"), QRect(655, 58, 110, 30),
                                         "clearSearchFields");

    // The list.
    controls::Label(this, QStringLiteral("考生列表显示："), QRect(20, 100, 200, 22));
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("examineeList"));
    m_list->setAccessibleName(QStringLiteral("考生列表"));
    m_list->setGeometry(20, 124, 432, 300);
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(24);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_list->horizontalHeader()->setHighlightSections(false);
    const int widths[] = {50, 120, 120, 120};
    for (int column = 0; column < 4; ++column)
        m_list->horizontalHeader()->resizeSection(column, widths[column]);
    m_list->setColumnHidden(CExamineeListModel::kId, true);
    controls::Label(this, QStringLiteral("提示：左键双击，将删除本行内容。"),
                    QRect(20, 428, 460, 22));
    auto* showAll =
        controls::Button(this, QStringLiteral("显示全部"), QRect(20, 458, 110, 30), "showAll");
    auto* clearList =
        controls::Button(this, QStringLiteral("清空列表"), QRect(145, 458, 110, 30), "clearList");

    // Adding by hand.
    auto* addGroup = new QGroupBox(QStringLiteral("手动添加考生"), this);
    addGroup->setGeometry(500, 110, 280, 200);
    m_addDepartment = controls::DropDownList(this, QRect(560, 140, 200, 26), "addDepartment",
                                             QStringLiteral("添加 部门"));
    m_addPosition = controls::DropDownList(this, QRect(560, 176, 200, 26), "addPosition",
                                           QStringLiteral("添加 职务"));
    m_addName =
        controls::Edit(this, QRect(560, 212, 200, 26), "addName", QStringLiteral("添加 姓名"));
    controls::Label(this, QStringLiteral("部门"), QRect(515, 142, 40, 22), m_addDepartment);
    controls::Label(this, QStringLiteral("职务"), QRect(515, 178, 40, 22), m_addPosition);
    controls::Label(this, QStringLiteral("姓名"), QRect(515, 214, 40, 22), m_addName);
    auto* add = controls::Button(this, QStringLiteral("添加"), QRect(515, 258, 70, 30), "add");
    auto* clearAdd = controls::Button(this, QStringLiteral("清空选项"), QRect(592, 258, 80, 30),
                                      "clearAddFields");
    auto* deleteAll = controls::Button(this, QStringLiteral("删除所有考生"),
                                       QRect(679, 258, 90, 30), "deleteAll");

    // Importing.
    auto* importGroup = new QGroupBox(QStringLiteral("批量导入考生"), this);
    importGroup->setGeometry(500, 325, 280, 80);
    auto* importWorkbook =
        controls::Button(this, QStringLiteral("导入"), QRect(520, 357, 110, 30), "import");
    auto* openTemplate = controls::Button(this, QStringLiteral("导入模板"),
                                          QRect(650, 357, 110, 30), "openTemplate");
    // Group boxes are made before their controls; lift the controls above them.
    for (QWidget* w : {static_cast<QWidget*>(m_addDepartment), static_cast<QWidget*>(m_addPosition),
                       static_cast<QWidget*>(m_addName), static_cast<QWidget*>(add),
                       static_cast<QWidget*>(clearAdd), static_cast<QWidget*>(deleteAll),
                       static_cast<QWidget*>(importWorkbook), static_cast<QWidget*>(openTemplate)})
        w->raise();

    // Moving on.
    auto* examManagement = controls::Button(this, QStringLiteral("考试管理"),
                                            QRect(20, 540, 140, 36), "examManagement");
    auto* scoreQuery =
        controls::Button(this, QStringLiteral("成绩查询"), QRect(180, 540, 140, 36), "scoreQuery");
    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(20, 600, 140, 36), "back");
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(180, 600, 140, 36), "exit");

    connect(search, &QPushButton::clicked, this, &CExamManager::Search);
    connect(clearSearch, &QPushButton::clicked, this, &CExamManager::ClearSearchFields);
    connect(showAll, &QPushButton::clicked, this, &CExamManager::ShowAll);
    connect(clearList, &QPushButton::clicked, this, [this] { m_model->Clear(); });
    connect(add, &QPushButton::clicked, this, &CExamManager::Add);
    connect(clearAdd, &QPushButton::clicked, this, &CExamManager::ClearAddFields);
    connect(deleteAll, &QPushButton::clicked, this, &CExamManager::DeleteAll);
    connect(importWorkbook, &QPushButton::clicked, this, &CExamManager::Import);
    connect(openTemplate, &QPushButton::clicked, this, &CExamManager::OpenTemplate);
    connect(examManagement, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::ExamManagement); });
    connect(scoreQuery, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::CheckScore); });
    connect(back, &QPushButton::clicked, this, [this] { screens::Go(this, screens::Id::Login); });
    connect(exit, &QPushButton::clicked, this, [this] { ExitProgram(this); });
    connect(m_list, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { DeleteRow(index.row()); });
    controls::LinkDepartmentToPositions(m_searchDepartment, m_searchPosition);
    controls::LinkDepartmentToPositions(m_addDepartment, m_addPosition);
}

void CExamManager::Search() {
    const auto statement = examinees::SearchStatement(
        {m_searchName->text(), m_searchDepartment->currentText(), m_searchPosition->currentText()});
    if (!statement) {
        msgbox::Prompt(this, QStringLiteral("查询条件不能为空！"), msgbox::RemindTitle());
        return;
    }
    Guarded(this, QStringLiteral("考生"), [&] {
        auto rows = examinees::Search(*statement);
        if (rows.empty()) {
            msgbox::Prompt(this, QStringLiteral("没有要查询的考生数据！"), msgbox::RemindTitle());
            return;
        }
        m_model->Fill(std::move(rows));
    });
}

void CExamManager::ShowAll() {
    m_model->Clear();
    Guarded(this, QStringLiteral("考生"), [&] {
        auto rows = examinees::ListAll();
        if (rows.empty()) {
            msgbox::Prompt(this, QStringLiteral("考生数据为空！"));
            return;
        }
        m_model->Fill(std::move(rows));
    });
}

void CExamManager::Add() {
    const Examinee examinee{m_addName->text(), m_addDepartment->currentText(),
                            m_addPosition->currentText()};
    Guarded(this, QStringLiteral("考生"), [&] {
        switch (examinees::Add(examinee)) {
            case examinees::AddOutcome::RejectedEmpty:
                msgbox::Prompt(this, QStringLiteral("添加数据不能有空格！"), msgbox::RemindTitle());
                break;
            case examinees::AddOutcome::RejectedSemicolon:
                msgbox::Prompt(this, QStringLiteral("考生姓名中不能含有';'！"));
                break;
            case examinees::AddOutcome::Duplicate:
                msgbox::Prompt(this, QStringLiteral("考生已存在，不能重复添加！"));
                break;
            case examinees::AddOutcome::Added:
                msgbox::Prompt(this, QStringLiteral("添加成功!"));
                ClearAddFields();
                break;
        }
    });
}

void CExamManager::DeleteAll() {
    m_model->Clear();
    Guarded(this, QStringLiteral("考生"), [&] {
        if (examinees::IsEmpty()) {
            msgbox::Prompt(this, QStringLiteral("考生库已为空！"));
            return;
        }
        if (msgbox::Ask(this, QStringLiteral("您确定要删除系统保存的所有考生码?\r\n"
                                             "一旦删除将无法恢复！")))
            examinees::DeleteAll();
    });
}

void CExamManager::DeleteRow(int row) {
    if (row < 0 || row >= m_model->rowCount()) return;
    const qlonglong id = m_model->IdAt(row);
    m_model->RemoveAt(row);
    Guarded(this, QStringLiteral("考生"), [&] { examinees::DeleteOne(id); });
}

void CExamManager::ClearSearchFields() {
    m_searchName->clear();
    m_searchDepartment->setCurrentIndex(-1);
    m_searchPosition->clear();
}

void CExamManager::ClearAddFields() {
    m_addDepartment->setCurrentIndex(-1);
    m_addPosition->clear();
    m_addName->clear();
}

void CExamManager::Import() {
    const QString path =
        desktop::GetOpenFileName(this, QStringLiteral("打开"), import_workbook::FileDialogFilter());
    if (path.isEmpty()) return;
    if (!import_workbook::IsAcceptedName(path, kWorkbookBaseName)) {
        msgbox::Prompt(this, QStringLiteral("请选择'examinee.xls'文件"));
        return;
    }
    if (screens::Open(this, screens::Id::ImportExaminee, path) == QDialog::Accepted)
        m_model->Clear();
}

void CExamManager::OpenTemplate() {
    const QString path = datafolder::TemplateFile(kTemplate);
    if (!QFile::exists(path) || !desktop::OpenWithSystem(path))
        msgbox::Prompt(
            this, QStringLiteral("无法打开考生导入模板“%1”。").arg(QDir::toNativeSeparators(path)));
}

void CExamManager::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    decor::PaintCalligraphy(painter, look::Placed(this, QRect(340, 410, 400, 266)));
}

#include "ui/settings/variouset.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/dberror.h"
#include "data/settings.h"
#include "data/settingswriter.h"
#include "rules/names.h"
#include "rules/subjectsettings.h"
#include "ui/common/controls.h"
#include "ui/common/guarded.h"
#include "ui/settings/addaltnode.h"

namespace {

enum SubjectColumn { kNumber, kSubject, kId };

// The three groups stand under the header band.
constexpr int kGroupTop = 48;

// Root 1, department 2, position 3.
int LevelOf(const QTreeWidgetItem* node) {
    int level = 1;
    for (; node->parent(); node = node->parent()) ++level;
    return level;
}

}  // namespace

QString CVariouSet::OrganisationCaption() {
    return QStringLiteral("本单位组织机构");
}

CVariouSet::CVariouSet(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vemo—各种设置"));
    setFixedSize(900, kGroupTop + 604);
    InstallScreenKeyFilter(this);
    BuildOrganisationGroup();
    BuildSubjectGroup();
    BuildObjectGroup();

    auto* bank = controls::Button(this, QStringLiteral("返回题库管理"), QRect(680, 532, 190, 36),
                                  "backToBank");
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(680, 584, 190, 36), "exit");
    connect(bank, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::ExamPaper); });
    connect(exit, &QPushButton::clicked, this, [this] { ExitProgram(this); });

    LoadTree();
    Guarded(this, QStringLiteral("科目"), [this] {
        LoadSubjects();
        LoadUsedSubjects();
    });
    ShowTargetGroups(settings::TargetGroupSlots());
}

void CVariouSet::BuildOrganisationGroup() {
    auto* group = new QGroupBox(QStringLiteral("岗位设置"), this);
    group->setGeometry(20, kGroupTop, 300, 584);
    controls::Label(group, OrganisationCaption(), QRect(10, 28, 280, 24), nullptr, Qt::AlignCenter);
    m_tree = new QTreeWidget(group);
    m_tree->setObjectName(QStringLiteral("tree"));
    m_tree->setAccessibleName(QStringLiteral("岗位设置"));
    m_tree->setGeometry(10, 56, 280, 410);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &CVariouSet::ShowNodeMenu);
    controls::Label(group, QStringLiteral("提示：右击节点，可进行增、改、删。"),
                    QRect(10, 474, 280, 24));
    auto* save =
        controls::Button(group, QStringLiteral("保存"), QRect(30, 520, 100, 34), "saveTree");
    auto* back = controls::Button(group, QStringLiteral("返回"), QRect(170, 520, 100, 34), "back");
    connect(save, &QPushButton::clicked, this, &CVariouSet::SaveTree);
    connect(back, &QPushButton::clicked, this, [this] { screens::Go(this, screens::Id::Admin); });
}

void CVariouSet::BuildSubjectGroup() {
    auto* group = new QGroupBox(QStringLiteral("科目设置"), this);
    group->setGeometry(336, kGroupTop, 320, 584);
    m_subjects = new QTableWidget(0, 3, group);
    m_subjects->setObjectName(QStringLiteral("subjects"));
    m_subjects->setAccessibleName(QStringLiteral("考试科目"));
    m_subjects->setGeometry(10, 28, 300, 300);
    m_subjects->setHorizontalHeaderLabels({"序号", "考试科目", "ID"});
    m_subjects->horizontalHeaderItem(kSubject)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_subjects->setColumnWidth(kNumber, 42);
    m_subjects->setColumnWidth(kSubject, 200);
    m_subjects->setColumnHidden(kId, true);
    m_subjects->verticalHeader()->hide();
    m_subjects->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_subjects->setSelectionMode(QAbstractItemView::SingleSelection);
    m_subjects->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_subjects->setShowGrid(true);

    m_newSubject = controls::Edit(group, QRect(10, 340, 190, 30), "newSubject",
                                  QStringLiteral("新的考试科目"));
    auto* add =
        controls::Button(group, QStringLiteral("添加"), QRect(210, 339, 100, 32), "addSubject");
    auto* clear =
        controls::Button(group, QStringLiteral("清空"), QRect(10, 384, 100, 32), "clearSubjects");
    auto* remove =
        controls::Button(group, QStringLiteral("删除"), QRect(120, 384, 100, 32), "deleteSubject");
    controls::Label(group, QStringLiteral("提示：可直接在框内进行增、删、改，"),
                    QRect(10, 428, 300, 24));
    m_usedSubjects = controls::DropDownList(group, QRect(10, 492, 300, 30), "usedSubjects");
    controls::Label(group, QStringLiteral("题库中已有的科目："), QRect(10, 464, 300, 24),
                    m_usedSubjects);
    connect(add, &QPushButton::clicked, this, &CVariouSet::AddSubject);
    connect(clear, &QPushButton::clicked, this, &CVariouSet::ClearSubjects);
    connect(remove, &QPushButton::clicked, this, &CVariouSet::DeleteSubject);
}

void CVariouSet::BuildObjectGroup() {
    auto* group = new QGroupBox(QStringLiteral("对象设置"), this);
    group->setGeometry(672, kGroupTop, 210, 300);
    for (int i = 0; i < 4; ++i) {
        auto* edit = controls::Edit(group, QRect(70, 32 + i * 44, 125, 30),
                                    "targetGroup" + QString::number(i + 1));
        controls::Label(group, QStringLiteral("对象%1").arg(i + 1), QRect(14, 32 + i * 44, 54, 30),
                        edit);
        m_targetGroups << edit;
    }
    auto* save = controls::Button(group, QStringLiteral("保存"), QRect(55, 214, 100, 32),
                                  "saveTargetGroups");
    controls::Label(group, QStringLiteral("编辑框要按顺序进行。"), QRect(14, 256, 190, 24));
    connect(save, &QPushButton::clicked, this, &CVariouSet::SaveTargetGroups);
}

void CVariouSet::LoadTree() {
    auto* root = new QTreeWidgetItem(m_tree, {OrganisationCaption()});
    for (const settings::Department& department : settings::ReadOrganisation()) {
        auto* node = new QTreeWidgetItem(root, {department.name});
        for (const QString& position : department.positions) new QTreeWidgetItem(node, {position});
    }
    root->setExpanded(true);
}

void CVariouSet::LoadSubjects() {
    m_subjects->setRowCount(0);
    int number = 0;
    for (const subject_settings::Subject& subject : subject_settings::List()) {
        const int row = m_subjects->rowCount();
        m_subjects->insertRow(row);
        auto* numberItem = new QTableWidgetItem(QString::number(++number));
        numberItem->setTextAlignment(Qt::AlignCenter);
        m_subjects->setItem(row, kNumber, numberItem);
        m_subjects->setItem(row, kSubject, new QTableWidgetItem(subject.name));
        m_subjects->setItem(row, kId, new QTableWidgetItem(QString::number(subject.id)));
    }
}

void CVariouSet::LoadUsedSubjects() {
    m_usedSubjects->clear();
    m_usedSubjects->addItems(subject_settings::UsedInBank());
    m_usedSubjects->setCurrentIndex(-1);
}

void CVariouSet::ShowTargetGroups(const QStringList& groupSlots) {
    for (int i = 0; i < m_targetGroups.size(); ++i) m_targetGroups[i]->setText(groupSlots.value(i));
}

void CVariouSet::ShowNodeMenu(const QPoint& pos) {
    QTreeWidgetItem* node = m_tree->itemAt(pos);
    if (!node) return;
    m_tree->setCurrentItem(node);
    QMenu menu(this);
    QAction* add = menu.addAction(QStringLiteral("添  加"));
    QAction* rename = menu.addAction(QStringLiteral("修  改"));
    QAction* remove = menu.addAction(QStringLiteral("删  除"));
    QAction* chosen = menu.exec(m_tree->viewport()->mapToGlobal(pos));
    if (chosen == add)
        AddNode(node);
    else if (chosen == rename)
        RenameNode(node);
    else if (chosen == remove)
        DeleteNode(node);
}

void CVariouSet::AddNode(QTreeWidgetItem* node) {
    if (LevelOf(node) > 2) {
        msgbox::Prompt(this, QStringLiteral("已是第三层节点，不能再往下添加了！"));
        return;
    }
    CAddAltNode ask(QStringLiteral("add"), QString(), this);
    if (ask.exec() != QDialog::Accepted) return;
    new QTreeWidgetItem(node, {ask.Name()});
    node->setExpanded(true);
}

void CVariouSet::RenameNode(QTreeWidgetItem* node) {
    if (!node->parent()) {
        msgbox::Prompt(this, QStringLiteral("根节点不能修改！"));
        return;
    }
    CAddAltNode ask(QStringLiteral("alt"), node->text(0), this);
    if (ask.exec() == QDialog::Accepted) node->setText(0, ask.Name());
}

void CVariouSet::DeleteNode(QTreeWidgetItem* node) {
    if (!node->parent()) {
        msgbox::Prompt(this, QStringLiteral("根节点不能删除！"));
        return;
    }
    delete node;
}

void CVariouSet::SaveTree() {
    QTreeWidgetItem* root = m_tree->topLevelItem(0);
    if (root->childCount() == 0) {
        msgbox::Prompt(this, QStringLiteral("请添加部门或岗位！"));
        return;
    }
    std::vector<settings::Department> departments;
    for (int i = 0; i < root->childCount(); ++i) {
        const QTreeWidgetItem* node = root->child(i);
        settings::Department department{node->text(0), {}};
        for (int j = 0; j < node->childCount(); ++j)
            department.positions << node->child(j)->text(0);
        departments.push_back(std::move(department));
    }
    if (!settings::WriteOrganisation(departments))
        msgbox::Prompt(this, QStringLiteral("保存失败：无法写入设置文件vemoconf.ini！"));
}

void CVariouSet::AddSubject() {
    const QString refusal = names::Refusal(m_newSubject->text(), names::Kind::Subject);
    if (!refusal.isEmpty()) {
        msgbox::Prompt(this, refusal);
        return;
    }
    Guarded(this, QStringLiteral("科目"), [this] {
        switch (subject_settings::Add(m_newSubject->text())) {
            case subject_settings::Added::Empty:
                msgbox::Prompt(this, QStringLiteral("请输入考试科目！"));
                return;
            case subject_settings::Added::Exists:
                msgbox::Prompt(this, QStringLiteral("您输入的考试科目已存在！"));
                return;
            case subject_settings::Added::Stored:
                msgbox::Prompt(this, QStringLiteral("添加成功！"), QStringLiteral("提示"));
                m_newSubject->clear();
                LoadSubjects();
                return;
        }
    });
}

void CVariouSet::ClearSubjects() {
    Guarded(this, QStringLiteral("科目"), [this] {
        if (subject_settings::IsEmpty()) {
            msgbox::Prompt(this, QStringLiteral("科目已为空"));
            return;
        }
        if (!msgbox::Ask(this, QStringLiteral("您确定要清空考试科目码?"))) return;
        m_subjects->setRowCount(0);
        subject_settings::Clear();
    });
}

void CVariouSet::DeleteSubject() {
    Guarded(this, QStringLiteral("科目"), [this] {
        for (const QModelIndex& row : m_subjects->selectionModel()->selectedRows(kId))
            subject_settings::Remove(row.data().toLongLong());
        LoadSubjects();
    });
}

void CVariouSet::SaveTargetGroups() {
    QStringList edits;
    for (const QLineEdit* edit : m_targetGroups) {
        const QString refusal = names::Refusal(edit->text(), names::Kind::TargetGroup);
        if (!refusal.isEmpty()) {
            msgbox::Prompt(this, refusal);
            return;
        }
        edits << edit->text();
    }
    const settings::TargetGroupsSaved saved = settings::SaveTargetGroups(edits);
    if (!saved.refusal.isEmpty()) msgbox::Prompt(this, saved.refusal);
    ShowTargetGroups(saved.groupSlots);
}

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "data/settings.h"
#include "data/settingswriter.h"
#include "guitest.h"
#include "rules/subjectsettings.h"
#include "ui/settings/addaltnode.h"
#include "ui/settings/variouset.h"
#include "ui/signin/admin.h"

namespace {

// Runs `act` on the window `find` returns, as soon as it is shown.
void WhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, find, act] {
        QWidget* window = find();
        if (!window && ++*tries < 300) return;
        timer->stop();
        timer->deleteLater();
        ASSERT_NE(window, nullptr) << "the window did not show";
        act(window);
    });
    timer->start(5);
}

class VariouSetTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        screen = std::make_unique<CVariouSet>();
        screen->show();
    }
    void TearDown() override {
        screen.reset();
        GuiTest::TearDown();
    }

    QTreeWidgetItem* Root() const { return screen->Tree()->topLevelItem(0); }
    // Right-clicks the node and picks the menu item; `then` answers the node dialog.
    void Choose(QTreeWidgetItem* node, const QString& item,
                std::function<void(CAddAltNode*)> then = {}) {
        WhenShown([] { return QApplication::activePopupWidget(); },
                  [item, then](QWidget* popup) {
                      auto* menu = qobject_cast<QMenu*>(popup);
                      QStringList items;
                      for (QAction* a : menu->actions()) items << a->text();
                      EXPECT_EQ(items, QStringList({"添  加", "修  改", "删  除"}));
                      if (then)
                          WhenShown([] { return QApplication::activeModalWidget(); },
                                    [then](QWidget* w) {
                                        auto* ask = qobject_cast<CAddAltNode*>(w);
                                        ASSERT_NE(ask, nullptr);
                                        then(ask);
                                    });
                      menu->setActiveAction(menu->actions()[items.indexOf(item)]);
                      QTest::keyClick(menu, Qt::Key_Return);
                  });
        screen->Tree()->scrollToItem(node);
        RightClick(screen->Tree()->visualItemRect(node).center());
    }
    void RightClick(const QPoint& at) {
        QWidget* viewport = screen->Tree()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &event);
    }
    QStringList Subjects() const {
        QStringList rows;
        for (int r = 0; r < screen->SubjectList()->rowCount(); ++r)
            rows << screen->SubjectList()->item(r, 0)->text() + "|" +
                        screen->SubjectList()->item(r, 1)->text();
        return rows;
    }
    QString LastMessage() const {
        return recorder->messages.isEmpty() ? QString() : recorder->messages.last().text;
    }

    std::unique_ptr<CVariouSet> screen;
};

TEST_F(VariouSetTest, OpensWithTheTreeSubjectsAndTargetGroupsOfTheDataFolder) {
    EXPECT_EQ(screen->windowTitle(), "Vemo—各种设置");
    ASSERT_EQ(screen->Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(Root()->text(0), CVariouSet::OrganisationCaption());
    EXPECT_TRUE(Root()->isExpanded());
    ASSERT_EQ(Root()->childCount(), 4);
    EXPECT_EQ(Root()->child(1)->text(0), "技术部");
    EXPECT_EQ(Root()->child(0)->child(2)->text(0), "操作工");
    EXPECT_EQ(Subjects(), QStringList({"1|安全生产", "2|规章制度"}));
    EXPECT_TRUE(screen->SubjectList()->isColumnHidden(2));
    EXPECT_EQ(screen->SubjectList()->columnWidth(0), 42);
    auto* used = Find<QComboBox>(screen.get(), "usedSubjects");
    EXPECT_EQ(used->count(), 10) << "both subjects, once for each of the five types";
    QStringList groups;
    for (int i = 1; i <= 4; ++i)
        groups << Find<QLineEdit>(screen.get(), QByteArray("targetGroup") + char('0' + i))->text();
    EXPECT_EQ(groups, settings::TargetGroupSlots());
    QList<QWidget*> labelled;
    for (auto* label : screen->findChildren<QLabel*>()) labelled << label->buddy();
    for (QWidget* control : screen->findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
            qobject_cast<QTreeWidget*>(control) || qobject_cast<QTableWidget*>(control)) {
            EXPECT_TRUE(!control->accessibleName().isEmpty() || labelled.contains(control))
                << control->objectName().toStdString();
        }
}

TEST_F(VariouSetTest, TheNodeMenuAddsRenamesAndDeletesWithinThreeLevels) {
    RightClick(QPoint(5, screen->Tree()->viewport()->height() - 5));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    Choose(Root()->child(0)->child(0), "添  加");
    EXPECT_EQ(LastMessage(), "已是第三层节点，不能再往下添加了！");
    Choose(Root(), "修  改");
    EXPECT_EQ(LastMessage(), "根节点不能修改！");
    Choose(Root(), "删  除");
    EXPECT_EQ(LastMessage(), "根节点不能删除！");

    Choose(Root(), "添  加", [this](CAddAltNode* ask) {
        EXPECT_EQ(ask->findChild<QLineEdit*>("currentName"), nullptr);
        Find<QLineEdit>(ask, "name")->setText("质检部");
        Click(ask, "save");
    });
    ASSERT_EQ(Root()->childCount(), 5);
    EXPECT_EQ(Root()->child(4)->text(0), "质检部");

    Choose(Root()->child(4), "修  改", [this](CAddAltNode* ask) {
        EXPECT_EQ(Find<QLineEdit>(ask, "currentName")->text(), "质检部");
        Find<QLineEdit>(ask, "name")->setText("质检;部");
        Click(ask, "save");
        EXPECT_EQ(recorder->messages.last().text, "名称中不能含有';'！");
        EXPECT_TRUE(ask->isVisible());
        Find<QLineEdit>(ask, "name")->setText("品管部");
        Click(ask, "save");
    });
    EXPECT_EQ(Root()->child(4)->text(0), "品管部");

    for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
        Choose(Root()->child(4), "修  改", [key](CAddAltNode* ask) {
            auto* name = ask->findChild<QLineEdit*>("name");
            name->setText("不要");
            name->setFocus();
            QTest::keyClick(name, Qt::Key(key));
        });
        EXPECT_EQ(Root()->child(4)->text(0), "品管部");
    }

    Choose(Root()->child(0), "删  除");
    ASSERT_EQ(Root()->childCount(), 4);
    EXPECT_EQ(Root()->child(0)->text(0), "技术部");
    Click(screen.get(), "saveTree");
    const auto stored = settings::ReadOrganisation();
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[0], (settings::Department{"技术部", {"工程师", "技术员"}}));
    EXPECT_EQ(stored[3], (settings::Department{"品管部", {}}));
}

TEST_F(VariouSetTest, ATreeWithoutDepartmentsIsNotSaved) {
    while (Root()->childCount() > 0) delete Root()->child(0);
    const auto before = settings::ReadOrganisation();
    Click(screen.get(), "saveTree");
    EXPECT_EQ(LastMessage(), "请添加部门或岗位！");
    EXPECT_EQ(settings::ReadOrganisation(), before);
}

TEST_F(VariouSetTest, SubjectsAreAddedExactlyDeletedAndCleared) {
    auto* subject = Find<QLineEdit>(screen.get(), "newSubject");
    Click(screen.get(), "addSubject");
    EXPECT_EQ(LastMessage(), "请输入考试科目！");
    subject->setText("语文");
    Click(screen.get(), "addSubject");
    EXPECT_EQ(LastMessage(), "添加成功！");
    EXPECT_EQ(recorder->messages.last().title, "提示");
    EXPECT_TRUE(subject->text().isEmpty());
    subject->setText("语文");
    Click(screen.get(), "addSubject");
    EXPECT_EQ(LastMessage(), "您输入的考试科目已存在！");
    subject->setText(" 语文");  // pasted: the screen swallows typed spaces
    Click(screen.get(), "addSubject");
    EXPECT_EQ(Subjects(), QStringList({"1|安全生产", "2|规章制度", "3|语文", "4| 语文"}));

    Click(screen.get(), "deleteSubject");  // nothing selected
    EXPECT_EQ(Subjects().size(), 4);
    screen->SubjectList()->selectRow(0);
    Click(screen.get(), "deleteSubject");
    EXPECT_EQ(Subjects(), QStringList({"1|规章制度", "2|语文", "3| 语文"}));

    recorder->answers = {MsgAnswer::No, MsgAnswer::Yes};
    Click(screen.get(), "clearSubjects");
    EXPECT_EQ(LastMessage(), "您确定要清空考试科目码?");
    EXPECT_EQ(recorder->messages.last().title, "Vemo提醒");
    EXPECT_EQ(Subjects().size(), 3);
    Click(screen.get(), "clearSubjects");
    EXPECT_TRUE(Subjects().isEmpty());
    EXPECT_TRUE(subject_settings::IsEmpty());
    Click(screen.get(), "clearSubjects");
    EXPECT_EQ(LastMessage(), "科目已为空");

    CVariouSet reopened;
    EXPECT_EQ(reopened.findChild<QComboBox*>("usedSubjects")->count(), 10);
}

TEST_F(VariouSetTest, TargetGroupsAreSavedInOrder) {
    const char* texts[] = {"A", "", "C", "D"};
    for (int i = 0; i < 4; ++i)
        Find<QLineEdit>(screen.get(), QByteArray("targetGroup") + char('1' + i))->setText(texts[i]);
    Click(screen.get(), "saveTargetGroups");
    EXPECT_EQ(settings::TargetGroupSlots(), QStringList({"A", "", "", ""}));
    EXPECT_EQ(Find<QLineEdit>(screen.get(), "targetGroup3")->text(), "");
}

// Names that would break the settings file or the stored draw rules are refused at entry,
// and nothing of them reaches the file or the subject table.
TEST_F(VariouSetTest, NamesWithSeparatorsOrControlCharactersAreRefused) {
    const QByteArray before = [] {
        QFile file(settings::SettingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    Find<QLineEdit>(screen.get(), "targetGroup1")->setText("一线员工");
    for (const QString& group : {QStringLiteral("X\n[object]\nname1=HACK"), QStringLiteral("A:B"),
                                 QString(130, QChar(0x4E00))}) {
        Find<QLineEdit>(screen.get(), "targetGroup2")->setText(group);
        Click(screen.get(), "saveTargetGroups");
        EXPECT_TRUE(LastMessage().startsWith("对象")) << LastMessage().toStdString();
    }
    Choose(Root(), "添  加", [this](CAddAltNode* ask) {
        Find<QLineEdit>(ask, "name")->setText("A\n[INFO]\nCount=0");
        Click(ask, "save");
        EXPECT_EQ(LastMessage(), "名称中不能含有换行符！");
        ask->reject();
    });
    const int subjects = Subjects().size();
    Find<QLineEdit>(screen.get(), "newSubject")->setText("A>B");
    Click(screen.get(), "addSubject");
    EXPECT_EQ(LastMessage(), "科目中不能含有'>'！");
    EXPECT_EQ(Subjects().size(), subjects);
    QFile file(settings::SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(VariouSetTest, LeadsBackToTheAdministratorAndOutAndIsReachedFromThere) {
    Click(screen.get(), "back");
    ASSERT_EQ(recorder->navigations.size(), 1);
    EXPECT_EQ(recorder->navigations[0].screen, "CAdmin");
    Click(screen.get(), "exit");
    EXPECT_EQ(recorder->exits, 1);

    CAdmin admin;
    admin.show();
    Click(&admin, "settings");
    ASSERT_EQ(recorder->navigations.size(), 2);
    EXPECT_EQ(recorder->navigations[1].screen, "CVariouSet");
    EXPECT_NE(dynamic_cast<CVariouSet*>(recorder->TakeNextScreen().get()), nullptr);
}

}  // namespace

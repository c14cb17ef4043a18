#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/screens.h"
#include "data/adoconn.h"
#include "data/schema.h"
#include "guitest.h"
#include "ui/bank/examinandout.h"

namespace {

QString Fixture(const char* name) {
    return QStringLiteral(VEMO_TEST_DATA "/") + QString::fromUtf8(name);
}

class ExamInandoutTest : public GuiTest {
protected:
    std::unique_ptr<CExamInandout> Make(const QString& mode, const QString& path = QString()) {
        auto dialog = std::make_unique<CExamInandout>(mode, path);
        dialog->show();
        return dialog;
    }
    // Chooses the type and presses 确定; the message shown, and whether the dialog closed
    // and with which result.
    QString Confirm(CExamInandout* dialog, const QString& type) {
        auto* types = Find<QComboBox>(dialog, "type");
        types->setCurrentIndex(types->findText(type));
        const auto confirm = dialog->findChild<QPushButton*>("importConfirm");
        Click(dialog, confirm ? "importConfirm" : "clearConfirm");
        return recorder->messages.isEmpty() ? QString() : recorder->messages.last().text;
    }
    static QString Cell(const QString& sql) {
        CADOConn conn;
        return conn.OpenRecordset(sql, schema::kQuestionsFile)->GetText("v");
    }
    static long Count(const QString& table) {
        return Cell("select COUNT(*) as v from " + table).toLong();
    }
};

TEST_F(ExamInandoutTest, EachModeShowsItsPromptAndOnlyItsConfirmButton) {
    auto importing = Make("导入", Fixture("questions.xls"));
    EXPECT_EQ(importing->windowTitle(), "Vemo—题库导入或删除");
    EXPECT_TRUE(
        Find<QLabel>(importing.get(), "prompt")
            ->text()
            .startsWith(
                "    1、questions.xls必须要有按模板要求填写，\n\n并且Excel表不能存在空行。"));
    EXPECT_EQ(importing->findChild<QPushButton*>("clearConfirm"), nullptr);
    auto* types = Find<QComboBox>(importing.get(), "type");
    EXPECT_EQ(types->count(), 5);
    EXPECT_EQ(types->currentIndex(), -1);
    Click(importing.get(), "importConfirm");
    EXPECT_EQ(recorder->messages.last().text, "请选择题型！");
    EXPECT_EQ(recorder->messages.last().title, "Vemo提醒");
    EXPECT_TRUE(importing->isVisible());

    auto clearing = Make("删除");
    EXPECT_EQ(Find<QLabel>(clearing.get(), "prompt")->text(),
              "\n\n    您确定要删除系统保存的相关题型的题库码?\n\n一旦删除将无法恢复！");
    EXPECT_EQ(clearing->findChild<QPushButton*>("importConfirm"), nullptr);
    Click(clearing.get(), "exit");
    EXPECT_EQ(clearing->result(), QDialog::Rejected);
}

TEST_F(ExamInandoutTest, ImportsEachTypeAndReportsRowsAndDuplicates) {
    const struct {
        const char* type;
        const char* message;
    } cases[] = {
        {"单选题", "导入数据3条，已删除1条重复数据！"},
        {"单选题", "导入数据3条，已删除3条重复数据！"},
        {"判断题", "导入数据1条，已删除0条重复数据！"},
        {"填空题", "导入数据1条，已删除0条重复数据！"},
        {"多选题", "导入数据1条，已删除0条重复数据！"},
        {"问答题", "导入数据1条，已删除0条重复数据！"},
    };
    for (const auto& c : cases) {
        auto dialog = Make("导入", Fixture("questions.xls"));
        EXPECT_EQ(Confirm(dialog.get(), c.type), c.message);
        EXPECT_EQ(dialog->result(), QDialog::Accepted) << c.type;
        EXPECT_FALSE(dialog->isVisible());
    }
    EXPECT_EQ(
        Cell("select 答案 as v from 多选题 where 题干='下列属于个人防护用品的有' and E is null "
             "and 答案='AB'"),
        "AB");
    EXPECT_EQ(Cell("select 答案 as v from 问答题 where 题干='简述发生火灾时的逃生要点'"), "A B");
    EXPECT_EQ(Cell("select 答案 as v from 填空题 where 题干 like '三级安全教育%'"), "班组");
    EXPECT_EQ(Count("单选题 where 题干='没有对象的题目'"), 0);
}

TEST_F(ExamInandoutTest, RefusedWorkbooksStoreNothing) {
    const long bank = Count("单选题");
    const struct {
        const char* file;
        const char* message;
        int result;  // -1: the dialog stays open
    } cases[] = {
        {"questions-single-without-e.xls", "Excel单选题表没有按照模板要求输入，导入失败！",
         QDialog::Rejected},
        {"questions-no-group.xls", "导入表格无数据！", QDialog::Rejected},
        {"questions-bar-row7.xls", "第7行：题目答案选项中不能含有'|'！", QDialog::Rejected},
        {"examinees.xls", "无法读取Excel文件“examinees.xls”：没有名为“单选题”的工作表。", -1},
        {"no-such-file.xls", "无法读取Excel文件“no-such-file.xls”：文件不存在。",
         QDialog::Rejected},
    };
    for (const auto& c : cases) {
        auto dialog = Make("导入", Fixture(c.file));
        EXPECT_EQ(Confirm(dialog.get(), "单选题"), c.message) << c.file;
        EXPECT_EQ(dialog->isVisible(), c.result < 0) << c.file;
        if (c.result >= 0) {
            EXPECT_EQ(dialog->result(), c.result) << c.file;
        }
    }
    EXPECT_EQ(Count("单选题"), bank);
}

TEST_F(ExamInandoutTest, ClearingATypeRemovesItsPicturesThroughTheScreenTable) {
    {
        CADOConn conn;
        conn.ExecuteStatement("update 填空题 set 图片='填空题'||ID", schema::kQuestionsFile);
    }
    const QStringList before = QDir("QuestionMap").entryList(QDir::Files);
    const QString first = Cell("select 图片 as v from 填空题 order by ID");
    QFile picture("QuestionMap/" + first + ".bmp");
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();

    QTimer::singleShot(0, [this] {
        auto* dialog = qobject_cast<CExamInandout*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Confirm(dialog, "填空题"), "填空题题库已清空");
    });
    EXPECT_EQ(screens::Open(nullptr, screens::Id::ExamInandout, QStringList{"删除", ""}),
              QDialog::Accepted);
    EXPECT_EQ(Count("填空题"), 0);
    EXPECT_FALSE(picture.exists());
    EXPECT_EQ(QDir("QuestionMap").entryList(QDir::Files), before);

    auto again = Make("删除");
    EXPECT_EQ(Confirm(again.get(), "填空题"), "填空题题库已为空");
    EXPECT_TRUE(again->isVisible());
}

}  // namespace

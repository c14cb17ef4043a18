#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "guitest.h"
#include "rules/examinees.h"
#include "ui/exams/exammanager.h"
#include "ui/exams/importexaminee.h"

namespace {

QString Fixture(const QString& name) {
    return QStringLiteral(VEMO_TEST_DATA "/") + name;
}

class ExamManagerTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        screen = std::make_unique<CExamManager>();
        screen->show();
    }
    void TearDown() override {
        screen.reset();
        GuiTest::TearDown();
    }

    // The visible columns of the list, one "序号|姓名|部门|职务" line per row.
    QStringList Lines() const {
        const QAbstractItemModel* model = screen->ExamineeList()->model();
        QStringList lines;
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 4; ++c) cells << model->index(r, c).data().toString();
            lines << cells.join('|');
        }
        return lines;
    }
    QString LastMessage() const {
        return recorder->messages.isEmpty() ? QString() : recorder->messages.last().text;
    }
    void Choose(const char* comboName, int index) {
        Find<QComboBox>(screen.get(), comboName)->setCurrentIndex(index);
    }
    // A double click as the view receives it: press and release, then the second press.
    void DoubleClickAt(const QPoint& at) {
        QWidget* viewport = screen->ExamineeList()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    }
    void DoubleClickRow(int row) {
        QTableView* list = screen->ExamineeList();
        DoubleClickAt(list->visualRect(list->model()->index(row, 1)).center());
    }
    // Runs the import prompt the next click opens and presses one of its buttons.
    void AnswerImportPrompt(const char* button) {
        QTimer::singleShot(0, [this, button] {
            auto* prompt = qobject_cast<CImportExaminee*>(QApplication::activeModalWidget());
            ASSERT_NE(prompt, nullptr);
            promptTitle = prompt->windowTitle();
            Click(prompt, button);
        });
    }

    std::unique_ptr<CExamManager> screen;
    QString promptTitle;
};

TEST_F(ExamManagerTest, ShowsEveryControlAndTheListColumns) {
    EXPECT_EQ(screen->windowTitle(), "Vemo—考试管理员管理");
    QStringList captions;
    for (auto* b : screen->findChildren<QPushButton*>()) captions << b->text();
    captions.sort();
    QStringList expected = {"查询",     "清空选项",     "显示全部", "清空列表", "添加",
                            "清空选项", "删除所有考生", "导入",     "导入模板", "考试管理",
                            "成绩查询", "返回",         "退出"};
    expected.sort();
    EXPECT_EQ(captions, expected);
    QStringList labels;
    for (auto* l : screen->findChildren<QLabel*>()) labels << l->text();
    for (const char* text :
         {"考生信息查询：", "考生列表显示：", "提示：左键双击，将删除本行内容。"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    QHeaderView* header = screen->ExamineeList()->horizontalHeader();
    const QAbstractItemModel* model = screen->ExamineeList()->model();
    QStringList titles;
    for (int c = 0; c < model->columnCount(); ++c)
        titles << model->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, QStringList({"序号", "姓名", "部门", "职务", "ID"}));
    EXPECT_EQ(header->sectionSize(0), 50);
    EXPECT_EQ(header->sectionSize(3), 120);
    EXPECT_TRUE(screen->ExamineeList()->isColumnHidden(4));
    EXPECT_TRUE(Lines().isEmpty());
}

TEST_F(ExamManagerTest, DepartmentsComeFromTheSettingsAndFillTheirPositions) {
    for (const char* pair : {"search", "add"}) {
        auto* departments = Find<QComboBox>(screen.get(), (QByteArray(pair) + "Department"));
        auto* positions = Find<QComboBox>(screen.get(), (QByteArray(pair) + "Position"));
        ASSERT_EQ(departments->count(), 4);
        EXPECT_EQ(departments->itemText(0), "生产部");
        EXPECT_TRUE(departments->currentText().isEmpty());
        EXPECT_EQ(positions->count(), 0);
        departments->setCurrentIndex(1);
        EXPECT_EQ(positions->count(), 2);
        EXPECT_EQ(positions->itemText(0), "工程师");
        EXPECT_TRUE(positions->currentText().isEmpty());
    }
    Choose("searchPosition", 0);
    Find<QLineEdit>(screen.get(), "searchName")->setText("王五");
    Click(screen.get(), "clearSearchFields");
    EXPECT_TRUE(Find<QLineEdit>(screen.get(), "searchName")->text().isEmpty());
    EXPECT_TRUE(Find<QComboBox>(screen.get(), "searchDepartment")->currentText().isEmpty());
    EXPECT_EQ(Find<QComboBox>(screen.get(), "searchPosition")->count(), 0);
    EXPECT_EQ(Find<QComboBox>(screen.get(), "addPosition")->count(), 2);  // the other side stays
}

TEST_F(ExamManagerTest, SearchKeepsTheListWhenNothingIsFound) {
    Click(screen.get(), "search");
    EXPECT_EQ(LastMessage(), "查询条件不能为空！");
    EXPECT_EQ(recorder->messages.last().title, "Vemo提醒");

    Click(screen.get(), "showAll");
    EXPECT_EQ(Lines().size(), 5);
    Choose("searchDepartment", 0);
    Choose("searchPosition", 2);
    Click(screen.get(), "search");
    EXPECT_EQ(Lines(), QStringList({"1|张三|生产部|操作工"}));

    Click(screen.get(), "clearSearchFields");
    Find<QLineEdit>(screen.get(), "searchName")->setText("张三");
    Choose("searchDepartment", 1);
    Click(screen.get(), "search");
    EXPECT_EQ(LastMessage(), "没有要查询的考生数据！");
    EXPECT_EQ(Lines(), QStringList({"1|张三|生产部|操作工"}));

    Click(screen.get(), "clearList");
    EXPECT_TRUE(Lines().isEmpty());
    EXPECT_EQ(examinees::ListAll().size(), 5u);
}

TEST_F(ExamManagerTest, AddChecksItsFieldsAndClearsThemAfterwards) {
    auto* name = Find<QLineEdit>(screen.get(), "addName");
    auto add = [&](const QString& text, int department, int position) {
        name->setText(text);
        Choose("addDepartment", department);
        Choose("addPosition", position);
        Click(screen.get(), "add");
        return LastMessage();
    };
    name->setText("孙八");
    Click(screen.get(), "add");
    EXPECT_EQ(LastMessage(), "添加数据不能有空格！");
    EXPECT_EQ(add("张三", 0, 2), "考生已存在，不能重复添加！");
    EXPECT_EQ(name->text(), "张三");  // a refusal leaves the fields
    EXPECT_EQ(add("孙;八", 0, 2), "考生姓名中不能含有';'！");
    EXPECT_EQ(add("张三", 1, 0), "添加成功!");
    EXPECT_TRUE(name->text().isEmpty());
    EXPECT_TRUE(Find<QComboBox>(screen.get(), "addDepartment")->currentText().isEmpty());
    EXPECT_EQ(Find<QComboBox>(screen.get(), "addPosition")->count(), 0);
    EXPECT_EQ(add("O'Neil 孙", 3, 1), "添加成功!");
    EXPECT_TRUE(Lines().isEmpty());  // adding does not refresh the list

    Find<QLineEdit>(screen.get(), "searchName")->setText("O'Neil 孙");
    Click(screen.get(), "search");
    EXPECT_EQ(Lines(), QStringList({"1|O'Neil 孙|办公室|文员"}));
}

TEST_F(ExamManagerTest, DoubleClickDeletesThatRowAndTheOthersKeepTheirNumbers) {
    Click(screen.get(), "showAll");
    const auto before = examinees::ListAll();
    DoubleClickRow(1);
    EXPECT_EQ(Lines(), QStringList({"1|张三|生产部|操作工", "3|王五|技术部|工程师",
                                    "4|赵六|安全部|安全员", "5|钱七|办公室|文员"}));
    const auto after = examinees::ListAll();
    ASSERT_EQ(after.size(), 4u);
    for (const auto& row : after) EXPECT_NE(row.id, before[1].id);

    DoubleClickAt(QPoint(20, screen->ExamineeList()->viewport()->height() - 5));
    EXPECT_EQ(Lines().size(), 4);
    EXPECT_EQ(examinees::ListAll().size(), 4u);
    EXPECT_TRUE(recorder->messages.isEmpty());
}

TEST_F(ExamManagerTest, DeleteAllEmptiesTheListEvenWhenDeclined) {
    Click(screen.get(), "showAll");
    recorder->answers = {MsgAnswer::No, MsgAnswer::Yes};
    Click(screen.get(), "deleteAll");
    EXPECT_TRUE(Lines().isEmpty());
    EXPECT_EQ(recorder->messages.last().buttons, MsgButtons::YesNo);
    EXPECT_EQ(recorder->messages.last().title, "Vemo提醒");
    EXPECT_EQ(examinees::ListAll().size(), 5u);

    Click(screen.get(), "deleteAll");
    EXPECT_TRUE(examinees::IsEmpty());
    Click(screen.get(), "deleteAll");
    EXPECT_EQ(LastMessage(), "考生库已为空！");
    Click(screen.get(), "showAll");
    EXPECT_EQ(LastMessage(), "考生数据为空！");
    EXPECT_TRUE(Lines().isEmpty());
}

TEST_F(ExamManagerTest, ImportTakesOnlyAWorkbookNamedExaminee) {
    recorder->openFileAnswers = {QString(), Fixture("examinees.xls")};
    Click(screen.get(), "import");
    EXPECT_TRUE(recorder->messages.isEmpty());
    Click(screen.get(), "import");
    EXPECT_EQ(LastMessage(), "请选择'examinee.xls'文件");

    ASSERT_TRUE(QDir().mkdir("picked"));
    ASSERT_TRUE(QFile::copy(Fixture("examinees.xls"), "picked/examinee.xls"));
    Click(screen.get(), "showAll");
    recorder->openFileAnswers = {QDir::current().filePath("picked/examinee.xls")};
    AnswerImportPrompt("confirm");
    Click(screen.get(), "import");
    EXPECT_EQ(promptTitle, "Vemo—导入考生提示");
    EXPECT_EQ(LastMessage(), "导入数据6条，已删除2条重复数据！");
    EXPECT_TRUE(Lines().isEmpty());
    EXPECT_EQ(examinees::ListAll().size(), 9u);

    Click(screen.get(), "showAll");
    recorder->openFileAnswers = {QDir::current().filePath("picked/examinee.xls")};
    AnswerImportPrompt("exit");
    Click(screen.get(), "import");
    EXPECT_EQ(Lines().size(), 9);  // leaving the prompt keeps the list
    // The newer format under the same name, and the content decides how it is read.
    ASSERT_TRUE(QFile::copy(Fixture("examinees.xls"), "picked/examinee.xlsx"));
    recorder->openFileAnswers = {QDir::current().filePath("picked/examinee.xlsx")};
    AnswerImportPrompt("confirm");
    Click(screen.get(), "import");
    EXPECT_EQ(LastMessage(), "导入数据6条，已删除6条重复数据！");
}

TEST_F(ExamManagerTest, TemplateBackAndExit) {
    Click(screen.get(), "openTemplate");
    EXPECT_EQ(recorder->openedWithSystem, QStringList({QDir::current().filePath("examinee.xls")}));
    QFile::remove("examinee.xls");
    Click(screen.get(), "openTemplate");
    EXPECT_EQ(recorder->openedWithSystem.size(), 1);
    EXPECT_EQ(LastMessage(),
              QStringLiteral("无法打开考生导入模板“%1”。")
                  .arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath("examinee.xls"))));

    QTest::keyClick(screen.get(), Qt::Key_Escape);
    EXPECT_TRUE(screen->isVisible());
    Click(screen.get(), "back");
    ASSERT_EQ(recorder->navigations.size(), 1);
    EXPECT_EQ(recorder->navigations[0].screen, "CLogin");
    EXPECT_FALSE(screen->isVisible());
    Click(screen.get(), "exit");
    EXPECT_EQ(recorder->exits, 1);
}

class ImportExamineeTest : public GuiTest {
protected:
    QString Import(const QString& path) {
        CImportExaminee prompt(path);
        prompt.show();
        Click(&prompt, "confirm");
        EXPECT_FALSE(prompt.isVisible());
        lastResult = prompt.result();
        return recorder->messages.isEmpty() ? QString() : recorder->messages.last().text;
    }
    int lastResult = -1;
};

TEST_F(ImportExamineeTest, ImportingAgainInEitherFormatRemovesEveryRowOfTheSecondTime) {
    EXPECT_EQ(Import(Fixture("examinees.xlsx")), "导入数据6条，已删除2条重复数据！");
    EXPECT_EQ(lastResult, QDialog::Accepted);
    const auto once = examinees::ListAll();
    EXPECT_EQ(Import(Fixture("examinees.xls")), "导入数据6条，已删除6条重复数据！");
    const auto twice = examinees::ListAll();
    ASSERT_EQ(twice.size(), once.size());
    for (size_t i = 0; i < once.size(); ++i) EXPECT_EQ(twice[i].id, once[i].id);
    EXPECT_EQ(twice.back().person, Examinee({"O'Neil", "办公室", "文员"}));
}

TEST_F(ImportExamineeTest, RefusedWorkbooksStoreNothing) {
    const std::pair<const char*, QString> cases[] = {
        {"header-fourth-column", "Excel考生表没有按照模板要求输入，导入失败！"},
        {"header-other-order", "Excel考生表没有按照模板要求输入，导入失败！"},
        {"semicolon-third-row", "部门名称中不能含有';'！"},
        {"no-complete-row", "导入表格无数据！"},
    };
    for (const char* ending : {".xls", ".xlsx"}) {
        for (const auto& [base, message] : cases) {
            EXPECT_EQ(Import(Fixture(base + QString(ending))), message) << base << ending;
            EXPECT_EQ(lastResult, QDialog::Rejected);
        }
        EXPECT_TRUE(Import(Fixture("other-sheet-name" + QString(ending))).contains("Sheet1"));
    }
    QFile junk("examinee.xls");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
    junk.write("not a workbook");
    junk.close();
    EXPECT_TRUE(Import("examinee.xls").startsWith("无法读取Excel文件"));
    EXPECT_EQ(examinees::ListAll().size(), 5u);
}

TEST_F(ImportExamineeTest, ADamagedWorkbookEndsInOneMessageAndStoresNothing) {
    const QString message = Import(Fixture("damaged-workbooks/claims-24GB-1305-bytes.xls"));
    EXPECT_EQ(message,
              QStringLiteral("无法读取Excel文件“claims-24GB-1305-bytes.xls”：文件已损坏或过大，"
                             "无法导入。"))
        << message.toStdString();
    EXPECT_EQ(recorder->messages.size(), 1);
    EXPECT_EQ(lastResult, QDialog::Rejected);
    EXPECT_EQ(examinees::ListAll().size(), 5u);
}

TEST_F(ImportExamineeTest, LeavingThePromptImportsNothing) {
    CImportExaminee prompt(Fixture("examinees.xls"));
    prompt.show();
    QTest::keyClick(&prompt, Qt::Key_Escape);
    QTest::keyClick(&prompt, Qt::Key_Return);
    EXPECT_TRUE(prompt.isVisible());
    Click(&prompt, "exit");
    EXPECT_EQ(prompt.result(), QDialog::Rejected);
    EXPECT_TRUE(recorder->messages.isEmpty());
    EXPECT_EQ(examinees::ListAll().size(), 5u);
}

}  // namespace

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "bankfixture.h"
#include "guitest.h"
#include "ui/bank/exampaper.h"
#include "ui/common/readedit.h"
#include "ui/signin/admin.h"

namespace {

class ExamPaperTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        screen = std::make_unique<CExamPaper>();
        screen->show();
    }
    void TearDown() override {
        screen.reset();
        GuiTest::TearDown();
    }

    void Tick(const char* box, bool on = true) {
        Find<QCheckBox>(screen.get(), box)->setChecked(on);
    }
    QTableWidget* List() const { return screen->QuestionList(); }
    QString Cell(int row, int column) const { return List()->item(row, column)->text(); }
    QString LastMessage() const {
        return recorder->messages.isEmpty() ? QString() : recorder->messages.last().text;
    }
    // 序号 of the first and last row, "" for an empty list.
    QString Span() const {
        const int rows = List()->rowCount();
        return rows ? Cell(0, 0) + "-" + Cell(rows - 1, 0) : QString();
    }
    void DoubleClickRow(int row) {
        const QPoint at = List()->visualRect(List()->model()->index(row, 3)).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, at);
    }

    std::unique_ptr<CExamPaper> screen;
};

TEST_F(ExamPaperTest, ShowsEveryControlNamedForAssistiveTools) {
    EXPECT_EQ(screen->windowTitle(), "Vemo—题库管理");
    QStringList captions;
    for (auto* b : screen->findChildren<QPushButton*>()) captions << b->text();
    EXPECT_EQ(captions,
              QStringList({"查询", "清空选项", "首页", "<<", ">>", "末页", "清空列表", "手动添加",
                           "题目导入", "题目模板", "科目/对象设置", "删除题库", "返回", "退出"}));
    QStringList boxes;
    for (auto* b : screen->findChildren<QCheckBox*>()) boxes << b->text();
    EXPECT_EQ(boxes, QStringList({"单选题", "判断题", "填空题", "多选题", "问答题"}));
    auto* subject = Find<QComboBox>(screen.get(), "subject");
    EXPECT_EQ(subject->count(), 2);
    EXPECT_EQ(subject->currentIndex(), -1);

    QStringList titles;
    QList<int> widths;
    for (int c = 0; c < List()->columnCount(); ++c) {
        titles << List()->horizontalHeaderItem(c)->text();
        widths << List()->horizontalHeader()->sectionSize(c);
    }
    EXPECT_EQ(titles, QStringList({"序号", "科目", "题型", "题干", "答案", "A", "B", "C", "D", "E",
                                   "难度", "对象", "ID"}));
    EXPECT_EQ(widths.mid(0, 12),
              QList<int>({45, 60, 60, 350, 80, 100, 100, 100, 100, 100, 50, 80}));
    EXPECT_TRUE(List()->isColumnHidden(12));
    EXPECT_FALSE(screen->PageLabel()->isVisible());
    EXPECT_FALSE(Find<QPushButton>(screen.get(), "nextPage")->isVisible());
    EXPECT_FALSE(screen->CellViewer()->isVisible());

    QList<QWidget*> fields;
    for (auto* w : screen->findChildren<QComboBox*>()) fields << w;
    for (auto* w : screen->findChildren<QLineEdit*>())
        if (!qobject_cast<QComboBox*>(w->parent())) fields << w;
    fields << List() << screen->CellViewer();
    for (QWidget* field : fields) {
        bool labelled = !field->accessibleName().isEmpty();
        for (auto* label : screen->findChildren<QLabel*>()) labelled |= label->buddy() == field;
        EXPECT_TRUE(labelled) << field->objectName().toStdString();
    }
}

TEST_F(ExamPaperTest, PagesKeepTheirNumberAcrossQueries) {
    Click(screen.get(), "query");
    EXPECT_EQ(LastMessage(), "题型为必选！");
    bankfixture::EmptyBank();
    bankfixture::AddQuestions("单选题", 70, "安全生产", "单");
    bankfixture::AddQuestions("多选题", 50, "安全生产", "多");
    Tick("singleChoice");
    Tick("multipleChoice");
    Click(screen.get(), "query");
    EXPECT_EQ(Span(), "1-50");
    EXPECT_EQ(Cell(49, 2), "单选题");
    EXPECT_EQ(screen->PageLabel()->text(), "第 1 页  共 3 页");
    EXPECT_TRUE(screen->PageLabel()->isVisible());

    Click(screen.get(), "lastPage");
    EXPECT_EQ(Span(), "101-120");
    EXPECT_EQ(Cell(0, 2), "多选题");
    EXPECT_EQ(Cell(0, 3), "多31");
    EXPECT_EQ(screen->PageLabel()->text(), "第 3 页  共 3 页");
    Click(screen.get(), "nextPage");  // runs the query again on the last page
    EXPECT_EQ(Span(), "101-120");
    EXPECT_EQ(screen->CurrentPage(), 3);
    Click(screen.get(), "previousPage");
    EXPECT_EQ(Span(), "51-100");
    EXPECT_EQ(Cell(19, 3), "单70");
    EXPECT_EQ(Cell(20, 3), "多1");

    Click(screen.get(), "lastPage");
    Tick("singleChoice", false);
    Click(screen.get(), "query");
    EXPECT_EQ(Span(), "");
    EXPECT_EQ(screen->PageLabel()->text(), "第 3 页  共 1 页");
    Click(screen.get(), "firstPage");
    EXPECT_EQ(Span(), "1-50");
    EXPECT_EQ(Cell(0, 3), "多1");

    Find<QLineEdit>(screen.get(), "keyword")->setText("没有");
    Click(screen.get(), "query");
    EXPECT_EQ(Span(), "");
    EXPECT_EQ(screen->PageLabel()->text(), "第 1 页  共 1 页");
    EXPECT_TRUE(screen->PageLabel()->isVisible());

    Click(screen.get(), "clearFilters");
    EXPECT_TRUE(Find<QLineEdit>(screen.get(), "keyword")->text().isEmpty());
    EXPECT_FALSE(Find<QCheckBox>(screen.get(), "multipleChoice")->isChecked());
    Click(screen.get(), "clearList");
    EXPECT_FALSE(screen->PageLabel()->isVisible());
    EXPECT_FALSE(Find<QPushButton>(screen.get(), "firstPage")->isVisible());
}

TEST_F(ExamPaperTest, DoubleClickDeletesTheQuestionAndItsPicture) {
    Tick("singleChoice");
    Click(screen.get(), "query");
    ASSERT_EQ(List()->rowCount(), 6);
    EXPECT_EQ(Cell(3, 3), "图中所示安全标志的含义是");
    const QString picture = "QuestionMap/单选题" + Cell(3, 12) + ".bmp";
    ASSERT_TRUE(QFile::exists(picture));
    DoubleClickRow(3);
    EXPECT_EQ(LastMessage(), "有图片文件被删除");
    EXPECT_FALSE(QFile::exists(picture));
    EXPECT_EQ(List()->rowCount(), 5);
    EXPECT_EQ(Cell(3, 0), "5");  // the others keep their numbers
    DoubleClickRow(0);
    EXPECT_EQ(recorder->messages.size(), 1);
    EXPECT_EQ(bankfixture::CountRows("单选题"), 4);
}

TEST_F(ExamPaperTest, RightClickShowsTheWholeCell) {
    Tick("essay");
    Click(screen.get(), "query");
    const QRect cell = List()->visualRect(List()->model()->index(0, 4));
    emit List()->customContextMenuRequested(cell.center());
    ASSERT_TRUE(screen->CellViewer()->isVisible());
    EXPECT_EQ(screen->CellViewer()->toPlainText(), Cell(0, 4));
    EXPECT_EQ(screen->CellViewer()->width(), List()->columnWidth(4));
    EXPECT_EQ(screen->CellViewer()->height(), 100);
    screen->CellViewer()->hide();
    emit List()->customContextMenuRequested(
        List()->visualRect(List()->model()->index(0, 0)).center());
    EXPECT_FALSE(screen->CellViewer()->isVisible());
}

TEST_F(ExamPaperTest, ImportTakesOnlyQuestionsXls) {
    recorder->openFileAnswers = {QString(), "/data/Questions.xls"};
    Click(screen.get(), "import");
    EXPECT_TRUE(recorder->messages.isEmpty());
    Click(screen.get(), "import");
    EXPECT_EQ(LastMessage(), "请选择'questions.xls'文件");
    // Either workbook format goes on to the import prompt.
    QString opened;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        opened = dialog ? dialog->metaObject()->className() : QString();
        if (dialog) dialog->close();
    });
    ASSERT_TRUE(QFile::copy("questions.xls", "questions.xlsx"));
    recorder->openFileAnswers = {QDir::current().filePath("questions.xlsx")};
    Click(screen.get(), "import");
    EXPECT_EQ(opened, "CExamInandout");
    Click(screen.get(), "openTemplate");
    ASSERT_EQ(recorder->openedWithSystem.size(), 1);
    EXPECT_EQ(QFileInfo(recorder->openedWithSystem[0]).canonicalFilePath(),
              QFileInfo("questions.xls").canonicalFilePath());
}

TEST_F(ExamPaperTest, LeadsToManualEntryAndBackToTheAdministrator) {
    QString opened;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        opened = dialog ? dialog->metaObject()->className() : QString();
        if (dialog) Click(dialog, "exit");
    });
    Click(screen.get(), "addQuestion");
    EXPECT_EQ(opened, "CAddQuestion");

    Click(screen.get(), "back");
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(recorder->navigations.last().screen, "CAdmin");
    Click(screen.get(), "exit");
    EXPECT_EQ(recorder->exits, 1);

    CAdmin admin;
    admin.show();
    Click(&admin, "questionBank");
    EXPECT_EQ(recorder->navigations.last().screen, "CExamPaper");
    EXPECT_NE(dynamic_cast<CExamPaper*>(recorder->TakeNextScreen().get()), nullptr);
}

}  // namespace

#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include "app/screens.h"
#include "guitest.h"
#include "ui/common/decor.h"
#include "ui/common/listcolumns.h"

namespace {

using LookTest = GuiTest;

bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue()) <
           24;
}

// The share of the calligraphy's opaque pixels that the screen shows at `at`, counting
// only where no control covers the spot.
double CalligraphyShownAt(QDialog& screen, const QRect& at) {
    const QImage shot = screen.grab().toImage();
    QImage alone(at.size(), QImage::Format_ARGB32);
    alone.fill(Qt::transparent);
    {
        QPainter painter(&alone);
        decor::PaintCalligraphy(painter, QRect(QPoint(0, 0), at.size()));
    }
    int ink = 0, shown = 0;
    for (int y = 0; y < alone.height(); y += 2)
        for (int x = 0; x < alone.width(); x += 2) {
            const QColor colour = alone.pixelColor(x, y);
            const QPoint spot = at.topLeft() + QPoint(x, y);
            if (colour.alpha() < 250 || screen.childAt(spot)) continue;
            ++ink;
            if (Near(shot.pixelColor(spot), colour)) ++shown;
        }
    return ink > 50 ? double(shown) / ink : 0;
}

TEST_F(LookTest, TheCalligraphyIsDrawnAtItsPlaceOnEachScreen) {
    const struct {
        screens::Id screen;
        QRect at;
    } places[] = {{screens::Id::ExamPaper, QRect(500, 520, 200, 133)},
                  {screens::Id::VariouSet, QRect(650, 380, 200, 133)},
                  {screens::Id::CreateExam, QRect(550, 5, 200, 133)},
                  {screens::Id::ExamManagement, QRect(260, 540, 160, 106)}};
    for (const auto& place : places) {
        const std::unique_ptr<QDialog> screen = screens::Factory(place.screen)();
        screen->show();
        const QString name = screens::ClassName(place.screen);
        EXPECT_GT(CalligraphyShownAt(*screen, place.at), 0.9) << name.toStdString();
        EXPECT_LT(CalligraphyShownAt(*screen, place.at.translated(9, 7)), 0.5)
            << name.toStdString();
    }
}

// The headless display of the tests is 1366×768.
TEST_F(LookTest, EveryScreenFitsTheAvailableAreaWithATitleBar) {
    for (int i = 0; i <= static_cast<int>(screens::Id::HandworkCorrect); ++i) {
        const auto id = static_cast<screens::Id>(i);
        if (id == screens::Id::ExamWindow) continue;  // the whole screen, without a frame
        const std::unique_ptr<QDialog> screen = screens::Factory(id)();
        const QSize room = screen->screen()->availableGeometry().size() - QSize(0, 30);
        EXPECT_TRUE(screen->width() <= room.width() && screen->height() <= room.height())
            << screens::ClassName(id).toStdString() << " " << screen->width() << "x"
            << screen->height();
        EXPECT_EQ(screen->findChild<QWidget*>("scrolledContent"), nullptr)
            << screens::ClassName(id).toStdString() << " is whole without scrolling";
    }
}

// Maximised, the list takes the new room; what stands beside it keeps its distance to the
// right edge, what stands below it to the bottom edge, the rest stays; none of them ends
// up under the list.
TEST_F(LookTest, ListScreensGrowTheirListAndKeepTheOtherControlsInPlace) {
    const struct {
        screens::Id screen;
        const char* list;
    } screensWithLists[] = {{screens::Id::ExamPaper, "questionList"},
                            {screens::Id::ExamManager, "examineeList"},
                            {screens::Id::TestManage, "paperList"},
                            {screens::Id::ExamManagement, "exams"},
                            {screens::Id::CheckScore, "scores"}};
    const QSize grown(300, 200);
    for (const auto& s : screensWithLists) {
        const std::unique_ptr<QDialog> screen = screens::Factory(s.screen)();
        const std::string name = screens::ClassName(s.screen).toStdString();
        EXPECT_TRUE(screen->windowFlags() & Qt::WindowMaximizeButtonHint) << name;
        auto* list = Find<QWidget>(screen.get(), s.list);
        const QRect listBefore = list->geometry();
        QList<std::pair<QWidget*, QRect>> before;
        for (QWidget* w : screen->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w != list) before.append({w, w->geometry()});
        EXPECT_EQ(screen->minimumSize(), screen->size()) << name;
        screen->show();
        screen->resize(screen->size() + grown);
        EXPECT_EQ(list->size(), listBefore.size() + grown) << name;
        EXPECT_EQ(list->pos(), listBefore.topLeft()) << name;
        for (const auto& [w, was] : before) {
            const QPoint moved = w->pos() - was.topLeft();
            EXPECT_TRUE(moved == QPoint(0, 0) || moved == QPoint(grown.width(), 0) ||
                        moved == QPoint(0, grown.height()))
                << name << " " << w->objectName().toStdString();
            if (!was.intersects(listBefore)) {
                EXPECT_FALSE(w->geometry().intersects(list->geometry()))
                    << name << " " << w->objectName().toStdString();
            }
        }
    }
}

TEST_F(LookTest, TabFollowsTheSignInColumnsAndReadingOrderElsewhere) {
    const std::unique_ptr<QDialog> login = screens::Factory(screens::Id::Login)();
    QStringList order;
    QWidget* w = Find<QWidget>(login.get(), "managerUser");
    for (int i = 0; i < 8; ++i, w = w->nextInFocusChain()) order << w->objectName();
    EXPECT_EQ(order, QStringList({"managerUser", "managerPassword", "managerSignIn", "adminUser",
                                  "adminPassword", "adminSignIn", "examineeEntry", "exit"}));

    // Paper composition: the name, then the subject and the target group on its right.
    const std::unique_ptr<QDialog> compose = screens::Factory(screens::Id::SetPaper)();
    auto* name = Find<QLineEdit>(compose.get(), "paperName");
    EXPECT_EQ(name->nextInFocusChain()->objectName(), "subject");
    EXPECT_EQ(name->nextInFocusChain()->nextInFocusChain()->objectName(), "group");
}

TEST_F(LookTest, HeadingClicksSortNumbersByValueAndColumnsWidenToTheirTexts) {
    QTableWidget list(0, 3);
    list.setHorizontalHeaderLabels({"序号", "名称", "ID"});
    list.setColumnWidth(0, 120);
    list.setColumnWidth(1, 60);
    list.hideColumn(2);
    listcolumns::SortOnHeadingClick(&list);
    const QStringList numbers = {"10", "9", "", "100"};
    for (int r = 0; r < numbers.size(); ++r) {
        list.insertRow(r);
        list.setItem(r, 0, new QTableWidgetItem(numbers[r]));
        list.setItem(r, 1, new QTableWidgetItem(QString(r * 20, QChar(u'长'))));
    }
    list.show();
    auto column = [&list] {
        QStringList texts;
        for (int r = 0; r < list.rowCount(); ++r) texts << list.item(r, 0)->text();
        return texts;
    };
    QHeaderView* header = list.horizontalHeader();
    const QPoint firstHeading(header->sectionViewportPosition(0) + 5, 5);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstHeading);
    EXPECT_EQ(column(), QStringList({"9", "10", "100", ""}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstHeading);
    EXPECT_EQ(column(), QStringList({"", "100", "10", "9"}));
    EXPECT_EQ(list.item(0, 1)->text().size(), 40) << "rows move whole";

    listcolumns::FitToTexts(&list, 300);
    EXPECT_EQ(list.columnWidth(0), 120) << "never below the width first given";
    EXPECT_EQ(list.columnWidth(1), 300) << "never above the widest";
    EXPECT_TRUE(list.isColumnHidden(2));
    for (int r = 0; r < list.rowCount(); ++r) list.item(r, 1)->setText("短");
    listcolumns::FitToTexts(&list, 300);
    EXPECT_EQ(list.columnWidth(1), 60);
}

}  // namespace

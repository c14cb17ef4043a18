#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include "app/screens.h"
#include "guitest.h"
#include "ui/common/decor.h"
#include "ui/common/listcolumns.h"
#include "ui/common/look.h"

namespace {

using LookTest = GuiTest;

// The share of the calligraphy's opaque pixels that the screen shows at `at`, where no
// control covers the spot.
double CalligraphyShownAt(QDialog& screen, const QRect& at) {
    const QImage shot = screen.grab().toImage();
    QImage alone(at.size(), QImage::Format_ARGB32);
    alone.fill(Qt::transparent);
    {
        QPainter painter(&alone);
        decor::PaintCalligraphy(painter, alone.rect());
    }
    int ink = 0, shown = 0;
    for (int y = 0; y < alone.height(); y += 2)
        for (int x = 0; x < alone.width(); x += 2) {
            const QPoint spot = at.topLeft() + QPoint(x, y);
            if (qAlpha(alone.pixel(x, y)) < 250 || screen.childAt(spot)) continue;
            ++ink;
            shown += std::abs(qGray(shot.pixel(spot)) - qGray(alone.pixel(x, y))) < 12;
        }
    return ink > 50 ? double(shown) / ink : 0;
}

TEST_F(LookTest, TheCalligraphyIsDrawnAtItsPlaceOnEachScreen) {
    const std::pair<screens::Id, QRect> places[] = {
        {screens::Id::ExamPaper, QRect(500, 520, 200, 133)},
        {screens::Id::VariouSet, QRect(650, 380, 200, 133)},
        {screens::Id::CreateExam, QRect(550, 5, 200, 133)},
        {screens::Id::ExamManagement, QRect(260, 540, 160, 106)}};
    for (const auto& [id, at] : places) {
        const std::unique_ptr<QDialog> screen = screens::Factory(id)();
        screen->show();
        EXPECT_GT(CalligraphyShownAt(*screen, at), 0.9) << int(id);
        EXPECT_LT(CalligraphyShownAt(*screen, at.translated(9, 7)), 0.5) << int(id);
        // No control covers its ink, not even the paging buttons shown for long lists.
        const QRect ink =
            at.adjusted(at.width() / 8, at.height() / 8, -at.width() / 8, -at.height() / 8);
        for (const QWidget* control : screen->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_FALSE(control->geometry().intersects(ink))
                << int(id) << " " << control->objectName().toStdString();
    }
}

// The header band's right end carries the emblem and the screen's title: no control of
// an administrator's screen stands there.
TEST_F(LookTest, TheHeaderBandKeepsRoomForTheEmblemAndTitle) {
    const screens::Id banded[] = {
        screens::Id::Admin,      screens::Id::ExamManager, screens::Id::VariouSet,
        screens::Id::TestManage, screens::Id::SetPaper,    screens::Id::ExamManagement,
        screens::Id::CreateExam, screens::Id::CheckScore,  screens::Id::HandworkCorrect};
    for (const screens::Id id : banded) {
        const std::unique_ptr<QDialog> screen = screens::Factory(id)();
        const QRect titleEnd(screen->width() - 130, 3, 130, 41);
        for (const QWidget* control : screen->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_FALSE(control->isVisibleTo(screen.get()) &&
                         control->geometry().intersects(titleEnd))
                << int(id) << " " << control->objectName().toStdString();
    }
}

// The test display is 1366×768: every screen is whole there, with room for a title bar.
TEST_F(LookTest, EveryScreenFitsWithoutScrolling) {
    for (int i = 0; i <= int(screens::Id::HandworkCorrect); ++i) {
        if (screens::Id(i) == screens::Id::ExamWindow) continue;  // the whole screen, no frame
        const std::unique_ptr<QDialog> screen = screens::Factory(screens::Id(i))();
        const QRect room = screen->screen()->availableGeometry().adjusted(0, 0, 0, -30);
        EXPECT_LE(screen->width(), room.width()) << i;
        EXPECT_LE(screen->height(), room.height()) << i;
        EXPECT_EQ(screen->findChild<QWidget*>("scrolledContent"), nullptr) << i;
    }
}

TEST_F(LookTest, AFixedScreenTooLargeScrollsItsControlsAsTheyWere) {
    QDialog screen;
    screen.setFixedSize(1600, 700);
    auto* shown = new QPushButton(&screen);
    shown->setGeometry(1500, 600, 80, 30);
    auto* hidden = new QPushButton(&screen);
    hidden->hide();
    look::Prepare(&screen);
    screen.show();
    EXPECT_EQ(screen.size(), QSize(1366, 700));
    ASSERT_NE(screen.findChild<QWidget*>("scrolledContent"), nullptr);
    EXPECT_EQ(shown->parentWidget()->size(), QSize(1600, 700));
    EXPECT_EQ(shown->geometry(), QRect(1500, 600, 80, 30));
    EXPECT_TRUE(shown->isVisible());
    EXPECT_FALSE(hidden->isVisible());
}

// The list takes the new room; what stands beside it moves with the right edge, what
// stands below it with the bottom edge (at the right, with both), and nothing ends up
// under the list.
TEST_F(LookTest, ListScreensGrowTheirListAndKeepTheOtherControlsInPlace) {
    const std::pair<screens::Id, const char*> lists[] = {{screens::Id::ExamPaper, "questionList"},
                                                         {screens::Id::ExamManager, "examineeList"},
                                                         {screens::Id::TestManage, "paperList"},
                                                         {screens::Id::ExamManagement, "exams"},
                                                         {screens::Id::CheckScore, "scores"}};
    const QPoint grown(300, 200);
    for (const auto& [id, name] : lists) {
        const std::unique_ptr<QDialog> screen = screens::Factory(id)();
        EXPECT_TRUE(screen->windowFlags() & Qt::WindowMaximizeButtonHint) << name;
        auto* list = Find<QWidget>(screen.get(), name);
        const QRect listWas = list->geometry();
        QList<std::pair<QWidget*, QRect>> others;
        for (QWidget* w : screen->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w != list) others.append({w, w->geometry()});
        screen->show();
        screen->resize(screen->size() + QSize(grown.x(), grown.y()));
        EXPECT_EQ(list->geometry(), listWas.adjusted(0, 0, grown.x(), grown.y())) << name;
        for (const auto& [w, was] : others) {
            const QPoint moved = w->pos() - was.topLeft();
            EXPECT_TRUE(moved.isNull() || moved == QPoint(grown.x(), 0) ||
                        moved == QPoint(0, grown.y()) || moved == grown)
                << name << " " << w->objectName().toStdString();
            // The paper list's column of buttons below the list keeps to the right edge.
            if (id == screens::Id::TestManage && w->objectName() == QLatin1String("compose"))
                EXPECT_EQ(moved, grown);
            EXPECT_TRUE(was.intersects(listWas) || !w->geometry().intersects(list->geometry()))
                << name << " " << w->objectName().toStdString();
        }
    }
}

TEST_F(LookTest, TabGoesThroughEachSignInColumnInTurn) {
    const std::unique_ptr<QDialog> login = screens::Factory(screens::Id::Login)();
    QStringList order;
    QWidget* w = Find<QWidget>(login.get(), "managerUser");
    for (int i = 0; i < 8; ++i, w = w->nextInFocusChain()) order << w->objectName();
    EXPECT_EQ(order, QStringList({"managerUser", "managerPassword", "managerSignIn", "adminUser",
                                  "adminPassword", "adminSignIn", "examineeEntry", "exit"}));
}

TEST_F(LookTest, HeadingClicksSortNumbersByValueAndColumnsWidenWithinTheirBounds) {
    QTableWidget list(4, 3);
    list.setColumnWidth(0, 120);
    list.setColumnWidth(1, 60);
    list.hideColumn(2);
    listcolumns::SortOnHeadingClick(&list);
    const QStringList numbers = {"10", "9", "", "100"};
    for (int r = 0; r < 4; ++r) {
        list.setItem(r, 0, new QTableWidgetItem(numbers[r]));
        list.setItem(r, 1, new QTableWidgetItem(QString(r * 20, QChar(u'长'))));
    }
    list.show();
    auto firstColumn = [&list] {
        QStringList texts;
        for (int r = 0; r < list.rowCount(); ++r) texts << list.item(r, 0)->text();
        return texts;
    };
    QHeaderView* header = list.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(firstColumn(), QStringList({"9", "10", "100", ""}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(firstColumn(), QStringList({"", "100", "10", "9"}));
    EXPECT_EQ(list.item(0, 1)->text().size(), 40) << "rows move whole";

    listcolumns::FitToTexts(&list, 300);
    EXPECT_EQ(list.columnWidth(0), 120) << "never below the width first given";
    EXPECT_EQ(list.columnWidth(1), 300) << "never above the widest";
    EXPECT_TRUE(list.isColumnHidden(2));
    for (int r = 0; r < 4; ++r) list.item(r, 1)->setText("短");
    listcolumns::FitToTexts(&list, 300);
    EXPECT_EQ(list.columnWidth(1), 60);
}

}  // namespace

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "guitest.h"
#include "ui/common/capture.h"
#include "ui/common/mymsgdlg.h"
#include "ui/common/readedit.h"
#include "ui/common/showmap.h"

namespace {

using AuxWindowsTest = GuiTest;

TEST_F(AuxWindowsTest, NoticeCountsDownFromFourAndClosesAtZero) {
    CMyMsgDlg notice(QStringLiteral("请选择考试！"), QStringLiteral("Vemo提示"), 5);
    notice.show();
    EXPECT_EQ(notice.windowTitle(), QStringLiteral("Vemo提示"));
    EXPECT_EQ(notice.findChild<QLabel*>("message")->text(), QStringLiteral("请选择考试！"));
    EXPECT_TRUE(notice.CountdownText().isEmpty()) << "empty during the first second";
    QStringList shown;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(notice.isVisible());
        notice.Tick();
        shown << notice.CountdownText();
    }
    EXPECT_EQ(shown, QStringList({"04", "03", "02", "01", "00"}));
    EXPECT_FALSE(notice.isVisible());
}

TEST_F(AuxWindowsTest, NoticeClosesAtOnceOnOk) {
    CMyMsgDlg notice("x", "t", 10);
    notice.show();
    QTest::mouseClick(notice.findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_FALSE(notice.isVisible());
    EXPECT_EQ(notice.SecondsLeft(), 10);
}

TEST_F(AuxWindowsTest, TimersBelowANoticeKeepTicking) {
    seams::StopRecording();
    QWidget below;
    int ticks = 0;
    QTimer clock(&below);
    QObject::connect(&clock, &QTimer::timeout, [&ticks] { ++ticks; });
    clock.start(100);
    ShowTimedNotice(&below, "x", "t", 1);  // a real one-second notice
    recorder = &seams::StartRecording();
    EXPECT_GE(ticks, 5);
}

TEST_F(AuxWindowsTest, NoticesAreRecordedUnderTest) {
    ShowTimedNotice(nullptr, "x", QStringLiteral("Vemo提示"), 6);
    ASSERT_EQ(recorder->notices.size(), 1);
    EXPECT_EQ(recorder->notices[0].seconds, 6);
}

TEST_F(AuxWindowsTest, PictureWindowShowsThePictureAtNaturalSizeAThirdIn) {
    EXPECT_EQ(CShowMap::Placement(QSize(1280, 1024), QSize(400, 300)), QPoint(293, 241));
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save("p.bmp", "BMP"));
    CShowMap map("p.bmp");
    EXPECT_EQ(map.windowTitle(), QStringLiteral("考题图片"));
    EXPECT_TRUE(map.HasPicture());
    EXPECT_EQ(map.size(), QSize(400, 300));
    map.show();
    map.close();
    EXPECT_FALSE(map.isVisible()) << "the close box hides the window";
    CShowMap unreadable("missing.bmp");
    EXPECT_FALSE(unreadable.HasPicture());

    // Larger than the 1366×768 test display: the window fits and the picture scrolls.
    QImage(1500, 900, QImage::Format_RGB32).save("large.bmp", "BMP");
    CShowMap large("large.bmp");
    EXPECT_EQ(large.size(), QSize(1366, 738));
    EXPECT_NE(large.findChild<QWidget*>("scrolledContent"), nullptr);
}

TEST_F(AuxWindowsTest, ReadEditHidesWhenTheMouseLeaves) {
    QWidget host;
    auto* edit = new CReadEdit(&host);
    host.show();
    edit->show();
    EXPECT_TRUE(edit->isReadOnly());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(edit, &leave);
    EXPECT_FALSE(edit->isVisible());
}

TEST_F(AuxWindowsTest, CaptureWritesTheRegionAsBmp) {
    QWidget window;
    window.resize(200, 100);
    window.setStyleSheet("background: blue");
    window.show();
    ASSERT_TRUE(CaptureToBmp("shot.bmp", &window, QRect(10, 10, 120, 80)));
    QImage saved("shot.bmp", "BMP");
    EXPECT_EQ(saved.size(), QSize(120, 80));
    EXPECT_FALSE(CaptureToBmp("no-such-folder/shot.bmp", &window, QRect(0, 0, 10, 10)));
}

}  // namespace

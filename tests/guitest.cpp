#include "guitest.h"

#include <QApplication>
#include <QTest>

#include "app/vemoapp.h"
#include "data/clock.h"

void GuiTest::SetUp() {
    DataFolderTest::SetUp();
    recorder = &seams::StartRecording();
    clock_seam::SetFixed(Now());
}

void GuiTest::TearDown() {
    EXPECT_TRUE(recorder->answers.empty()) << "preset answers were not used";
    EXPECT_TRUE(recorder->openFileAnswers.empty()) << "preset file choices were not used";
    EXPECT_EQ(recorder->unanswered, 0) << "a question was asked without a preset answer";
    seams::StopRecording();
    clock_seam::SetFixed(QDateTime());
    DataFolderTest::TearDown();
}

void GuiTest::Click(QWidget* parent, const char* name) {
    auto* button = Find<QAbstractButton>(parent, name);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

int main(int argc, char** argv) {
    // The headless display is the smallest the screens are made for.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM",
                "offscreen:configfile=" VEMO_TEST_DATA "/offscreen-1366x768.json");
    QApplication app(argc, argv);
    CVemoApp::PrepareDesktop();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#pragma once

#include <QAbstractButton>
#include <QWidget>

#include "app/testseams.h"
#include "testutil.h"

// A screen test: a delivered data folder as the current directory, the desktop seams
// recording, and at the end no preset answer left over and no question unanswered.
class GuiTest : public DataFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The child widget with this object name, failing the test when it is missing.
    template <class T>
    static T* Find(QWidget* parent, const char* name) {
        T* child = parent->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << "no control named " << name;
        return child;
    }
    static void Click(QWidget* parent, const char* name);

    seams::Recorder* recorder = nullptr;
};

#pragma once

#include <QString>
#include <QWidget>

#include "app/messagebox.h"
#include "data/adoconn.h"

// A failure to read or write the exam data ends the handler with a message instead of
// ending the program; what was written in the failed transaction is rolled back.
template <class Handler>
bool GuardedExamData(QWidget* screen, Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const DatabaseError& e) {
        msgbox::Prompt(screen,
                       QStringLiteral("考试数据读写失败：%1").arg(QString::fromUtf8(e.what())));
        return false;
    }
}

#pragma once

#include <QString>
#include <QWidget>

#include "app/messagebox.h"
#include "data/dberror.h"

// What a screen that answers a failure with a short message of its own shows: the user's
// text of a failure told apart (a busy, missing or damaged file, a lost server, a refused
// change), otherwise `message`.
inline QString FailureMessage(const DatabaseError& e, const QString& message) {
    return e.Kind() == DataFailure::Other ? message : e.Text();
}

// A failure to read or write the data files ends the handler with a message naming the
// data (`what`, such as "题库") instead of ending the program; what the failed transaction
// had written is rolled back. True when the handler ran through.
template <class Handler>
bool Guarded(QWidget* screen, const QString& what, Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const DatabaseError& e) {
        msgbox::Prompt(screen,
                       what + QStringLiteral("数据读写失败：") + QString::fromUtf8(e.what()));
        return false;
    }
}

#pragma once

#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "data/adoconn.h"
#include "data/schema.h"
#include "exam/vemodlg.h"
#include "examfixture.h"
#include "guitest.h"

class ExamWindowTest : public GuiTest {
protected:
    // An exam window on the sample paper; the lock-down message of a headless desktop is
    // checked and cleared.
    std::unique_ptr<CVemoDlg> Open(const QVector<DrawnQuestion>& paper = SamplePaper(),
                                   const QString& timeLimit = "60") {
        recorder->messages.clear();
        ticket = TicketFor(DrawIntoExamTable(paper), timeLimit);
        auto window = std::make_unique<CVemoDlg>(ticket);
        EXPECT_EQ(recorder->messages.size(), 1);
        if (!recorder->messages.isEmpty()) {
            EXPECT_EQ(recorder->messages[0].text, QStringLiteral("安装钩子失败!"));
            recorder->messages.clear();
        }
        return window;
    }
    static QString Text(QWidget* w, const char* name) { return Find<QLabel>(w, name)->text(); }
    // Typed at the caret (key clicks carry only ASCII).
    static void Type(QWidget* w, const char* name, const QString& text) {
        auto* edit = Find<QLineEdit>(w, name);
        edit->setFocus();
        edit->insert(text);
    }
    // The registration row of the ticket.
    RecordsetPtr Registration() {
        CADOConn conn;
        return conn.OpenRecordset("select * from ExamRegister where ID=?", schema::kPersonnelFile,
                                  {ticket.registrationId});
    }
    ExamTicket ticket;
};

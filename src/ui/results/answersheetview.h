#pragma once

#include <QDialog>

#include "rules/answersheet.h"

class QTextBrowser;
class QTextDocument;

// 查看答卷: one examinee's handed-in paper as he saw it, in order, with his answers, the
// reference answers, the marks and points of every question and the total. Rows whose
// save code fails are marked as tampered. It can be saved as PDF and printed.
class CAnswerSheetView : public QDialog {
    Q_OBJECT
public:
    CAnswerSheetView(const QString& registrationId, QWidget* parent = nullptr);

    // The sheet as HTML, the same on screen, in the PDF and on paper.
    static QString Html(const answersheet::Sheet& sheet);
    // False when the file cannot be written.
    bool SavePdf(const QString& path);
    void Print();

private:
    void AskAndSavePdf();
    QString Title() const;

    answersheet::Sheet m_sheet;
    QTextBrowser* m_view;
};

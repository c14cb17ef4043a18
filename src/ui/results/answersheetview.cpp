#include "ui/results/answersheetview.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPageSize>
#include <QPdfWriter>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

#include "app/desktop.h"
#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "data/dberror.h"
#include "ui/common/controls.h"

namespace {

QString Escaped(const QString& text) {
    QString html = text.toHtmlEscaped();
    return html.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"))
        .replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

QString MarkColour(answersheet::Mark mark) {
    switch (mark) {
        case answersheet::Mark::Right:
            return QStringLiteral("#007000");
        case answersheet::Mark::Wrong:
            return QStringLiteral("#c00000");
        case answersheet::Mark::HalfRight:
        case answersheet::Mark::Ungraded:
            break;
    }
    return QStringLiteral("#b06000");
}

QString RowHtml(const answersheet::Row& row) {
    QString html = QStringLiteral("<p><b>%1、</b>[%2] %3</p>")
                       .arg(row.number)
                       .arg(Escaped(row.type), Escaped(row.stem));
    // At its own size, narrowed to the page's column where it is wider.
    const QSize picture = row.picture.isEmpty() ? QSize() : QImageReader(row.picture).size();
    if (picture.isValid())
        html += QStringLiteral("<p style='margin-left:24px'><img src='%1' width='%2'></p>")
                    .arg(QUrl::fromLocalFile(row.picture).toString().toHtmlEscaped())
                    .arg(std::min(picture.width(), 360));
    QStringList options;
    for (int i = 0; i < row.options.size(); ++i)
        options << QString(QChar('A' + i)) + QStringLiteral("、") + Escaped(row.options[i]);
    if (!options.isEmpty())
        html += "<p style='margin-left:24px'>" + options.join(QStringLiteral("<br>")) + "</p>";
    const QString answer = row.answer ? Escaped(*row.answer) : QStringLiteral("（未作答）");
    html += QStringLiteral(
                "<p style='margin-left:24px'>考生答案：%1<br>参考答案：%2<br>"
                "<span style='color:%3'>%4</span>　分值：%5分　得分：%6</p>")
                .arg(answer, Escaped(row.reference), MarkColour(answersheet::MarkOf(row)),
                     answersheet::MarkText(row), Escaped(row.points),
                     row.earned.isEmpty() ? QStringLiteral("—") : Escaped(row.earned) + "分");
    if (!row.intact)
        html += QStringLiteral(
            "<p style='margin-left:24px;color:#c00000'><b>"
            "本题记录已被篡改！</b></p>");
    return html;
}

}  // namespace

CAnswerSheetView::CAnswerSheetView(const QString& registrationId, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vemo—查看答卷"));
    setFixedSize(900, 700);
    InstallScreenKeyFilter(this);

    m_view = new QTextBrowser(this);
    m_view->setObjectName(QStringLiteral("sheet"));
    m_view->setAccessibleName(QStringLiteral("答卷"));
    m_view->setGeometry(15, 15, 870, 615);
    auto* pdf = controls::Button(this, QStringLiteral("保存为PDF"), QRect(15, 645, 110, 34),
                                 QStringLiteral("savePdf"));
    auto* print = controls::Button(this, QStringLiteral("打印"), QRect(135, 645, 100, 34),
                                   QStringLiteral("print"));
    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(785, 645, 100, 34),
                                  QStringLiteral("back"));
    connect(pdf, &QPushButton::clicked, this, &CAnswerSheetView::AskAndSavePdf);
    connect(print, &QPushButton::clicked, this, &CAnswerSheetView::Print);
    connect(back, &QPushButton::clicked, this, &QDialog::accept);

    try {
        m_sheet = answersheet::Load(registrationId);
    } catch (const DatabaseError& error) {
        msgbox::Warn(this, QStringLiteral("读写数据库时出错，本次操作未完成：") +
                               QString::fromUtf8(error.what()));
    }
    m_view->setHtml(Html(m_sheet));
}

QString CAnswerSheetView::Html(const answersheet::Sheet& sheet) {
    QString html = QStringLiteral("<h2 align='center'>%1 答卷</h2>").arg(Escaped(sheet.examName));
    html += QStringLiteral(
                "<p align='center'>姓名：%1　部门：%2　职务：%3<br>"
                "考试时间：%4　考试用时：%5　成绩：<b>%6分</b></p><hr>")
                .arg(Escaped(sheet.name), Escaped(sheet.department), Escaped(sheet.position),
                     Escaped(sheet.handInTime), Escaped(sheet.timeUsed), Escaped(sheet.score));
    if (sheet.rows.empty())
        return html + QStringLiteral("<p>这次考试的成绩保存于答卷功能启用之前，没有保存答卷。</p>");
    int tampered = 0;
    for (const answersheet::Row& row : sheet.rows) {
        html += RowHtml(row);
        tampered += row.intact ? 0 : 1;
    }
    html += QStringLiteral("<hr><p>共%1题，总分：<b>%2分</b></p>")
                .arg(sheet.rows.size())
                .arg(Escaped(sheet.score));
    if (tampered > 0)
        html += QStringLiteral("<p style='color:#c00000'><b>答卷中有%1题的记录已被篡改！</b></p>")
                    .arg(tampered);
    return html;
}

QString CAnswerSheetView::Title() const {
    return m_sheet.name + QStringLiteral("_") + m_sheet.examName + QStringLiteral("_答卷");
}

bool CAnswerSheetView::SavePdf(const QString& path) {
    {
        QPdfWriter writer(path);
        writer.setTitle(Title());
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        QTextDocument document;
        document.setHtml(Html(m_sheet));
        document.print(&writer);
    }  // the file is complete once the writer is gone
    return QFileInfo(path).size() > 0;
}

void CAnswerSheetView::AskAndSavePdf() {
    const QString path = desktop::GetSaveFileName(
        this, QStringLiteral("保存答卷"), QStringLiteral("PDF文件 (*.pdf)"),
        QDir(desktop::DocumentsFolder()).filePath(Title() + QStringLiteral(".pdf")));
    if (path.isEmpty()) return;
    if (SavePdf(path))
        msgbox::Prompt(this, QStringLiteral("答卷已保存为：") + QDir::toNativeSeparators(path));
    else
        msgbox::Prompt(this, QStringLiteral("答卷保存失败，请检查保存位置是否可写！"));
}

void CAnswerSheetView::Print() {
    QTextDocument document;
    document.setHtml(Html(m_sheet));
    desktop::Print(this, document, Title());
}

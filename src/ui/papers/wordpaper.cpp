#include "ui/papers/wordpaper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/datafolder.h"
#include "app/desktop.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "data/dberror.h"
#include "data/docx.h"
#include "data/filemodes.h"
#include "rules/printedpaper.h"
#include "ui/common/controls.h"

namespace {

const QString kTemplateName = QStringLiteral("wordtest.docx");

}  // namespace

CWordPaper::CWordPaper(const QString& paperName, QWidget* parent)
    : QDialog(parent), m_paperName(paperName) {
    setWindowTitle(QStringLiteral("Vemo—生成纸质考卷"));
    setFixedSize(420, 300);

    controls::Label(this, QStringLiteral("请输入以下数据："), QRect(30, 20, 300, 24));
    m_title = controls::Edit(this, QRect(120, 60, 250, 26), "title");
    controls::Label(this, QStringLiteral("考试名称"), QRect(40, 60, 76, 26), m_title);
    m_minutes = controls::Edit(this, QRect(120, 100, 120, 26), "minutes");
    controls::Label(this, QStringLiteral("答题时限"), QRect(40, 100, 76, 26), m_minutes);
    controls::Label(this, QStringLiteral("分钟"), QRect(248, 100, 60, 26));
    m_passMark = controls::Edit(this, QRect(120, 140, 120, 26), "passMark");
    controls::Label(this, QStringLiteral("合格分数"), QRect(40, 140, 76, 26), m_passMark);
    controls::Label(this, QStringLiteral("生成试卷需要点时间，请耐心等待..."),
                    QRect(40, 185, 340, 24));

    auto* clear = controls::Button(this, QStringLiteral("清空"), QRect(40, 235, 90, 32), "clear");
    auto* generate =
        controls::Button(this, QStringLiteral("生成考卷"), QRect(160, 235, 100, 32), "generate");
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(290, 235, 90, 32), "exit");
    connect(clear, &QPushButton::clicked, this, &CWordPaper::ClearFields);
    connect(generate, &QPushButton::clicked, this, &CWordPaper::Generate);
    connect(exit, &QPushButton::clicked, this, &CWordPaper::Leave);

    printed::CreateEmptyPool();
}

void CWordPaper::ClearFields() {
    for (QLineEdit* edit : {m_title, m_minutes, m_passMark}) edit->clear();
}

void CWordPaper::Leave() {
    printed::DropPool();
    accept();
}

void CWordPaper::keyPressEvent(QKeyEvent* event) {
    // Enter closes the window as Esc does; neither drops the pool, which the next opening
    // empties anyway.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CWordPaper::Generate() {
    const printed::PaperForm form{m_title->text(), m_minutes->text(), m_passMark->text()};
    if (form.title.isEmpty() || form.minutes.isEmpty() || form.passMark.isEmpty()) {
        msgbox::Prompt(this, QStringLiteral("输入数据不能为空！"));
        return;
    }
    const QString templatePath = datafolder::TemplateFile(kTemplateName);
    if (!QFile::exists(templatePath)) {
        msgbox::Prompt(this, QStringLiteral("找不到考卷模板%1，无法生成考卷！").arg(kTemplateName));
        return;
    }

    printed::DrawnPaper paper;
    try {
        assembly::MersenneRandom random;
        paper = printed::DrawPaper(m_paperName, random);
    } catch (const DatabaseError& e) {
        msgbox::Prompt(this,
                       QStringLiteral("试卷数据读写失败：%1").arg(QString::fromUtf8(e.what())));
        return;
    }
    switch (paper.outcome) {
        case printed::Outcome::BankTooSmall:
            msgbox::Show(this, printed::OutcomeMessage(paper), msgbox::PromptTitle(), MsgIcon::None,
                         MsgButtons::Ok);
            ExitProgram(this);
            return;
        case printed::Outcome::BrokenRule:
            msgbox::Prompt(this, printed::OutcomeMessage(paper));
            return;
        case printed::Outcome::Drawn:
            break;
    }

    const QString document = printed::NewDocumentPath(desktop::DocumentsFolder(), form.title);
    QString error;
    switch (
        docx::FillTemplate(templatePath, document, printed::DocumentFills(form, paper), &error)) {
        case docx::FillResult::TemplateDamaged:
            msgbox::Prompt(this, QStringLiteral("考卷模板“%1”已损坏（%2），无法生成考卷！")
                                     .arg(QDir::toNativeSeparators(templatePath), error));
            return;
        case docx::FillResult::NotWritten:
            msgbox::Prompt(this, QStringLiteral("考卷文件无法写入：%1").arg(error));
            return;
        case docx::FillResult::Filled:
            filemodes::FollowUserUmask(document);  // the user's document, not the program's
            break;
    }
    // The document stays where it was written; the user decides whether to keep it.
    if (!desktop::OpenWithSystem(document)) {
        // The paper is written all the same: say where, so it can be opened by hand.
        msgbox::AppMessage(
            this, QStringLiteral("本机没有安装word产品！\n考卷已保存在：%1")
                      .arg(QDir::toNativeSeparators(QFileInfo(document).absoluteFilePath())));
        return;
    }
    Leave();
}

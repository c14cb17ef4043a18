#include "ui/results/handworkcorrect.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/dberror.h"
#include "ui/common/checklist.h"
#include "ui/common/controls.h"

namespace {

QPlainTextEdit* ReadOnlyText(QWidget* parent, const QRect& at, const QString& objectName) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setGeometry(at);
    edit->setObjectName(objectName);
    edit->setReadOnly(true);
    return edit;
}

}  // namespace

CHandworkCorrect::CHandworkCorrect(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("问答题手工批卷窗口"));
    setFixedSize(880, 600);
    InstallScreenKeyFilter(this);
    BuildControls();
    FillList();
}

void CHandworkCorrect::BuildControls() {
    m_list = new CCheckList({"选择", "序号", "姓名", "部门", "职务", "考试名称", "是否批改"},
                            {45, 45, 120, 100, 100, 150, 80}, CCheckList::Ticks::AtMostOne, this);
    m_list->setObjectName(QStringLiteral("answers"));
    m_list->setAccessibleName(QStringLiteral("问答题列表"));
    m_list->setGeometry(15, 15, 665, 250);
    connect(m_list, &CCheckList::TickChanged, this, &CHandworkCorrect::ShowChosen);

    m_stem = ReadOnlyText(this, QRect(15, 300, 665, 100), QStringLiteral("stem"));
    controls::Label(this, QStringLiteral("题目"), QRect(15, 274, 200, 24), m_stem);
    m_reference = ReadOnlyText(this, QRect(15, 440, 325, 140), QStringLiteral("reference"));
    controls::Label(this, QStringLiteral("参考答案："), QRect(15, 414, 200, 24), m_reference);
    m_answer = ReadOnlyText(this, QRect(355, 440, 325, 140), QStringLiteral("answer"));
    controls::Label(this, QStringLiteral("考生答题："), QRect(355, 414, 200, 24), m_answer);

    m_questionPoints = controls::Edit(this, QRect(760, 58, 70, 26), QStringLiteral("points"));
    m_questionPoints->setReadOnly(true);
    controls::Label(this, QStringLiteral("分值："), QRect(700, 58, 56, 26), m_questionPoints);
    controls::Label(this, QStringLiteral("分"), QRect(836, 58, 30, 26));
    m_awarded = controls::Edit(this, QRect(760, 98, 70, 26), QStringLiteral("awarded"));
    controls::Label(this, QStringLiteral("给分："), QRect(700, 98, 56, 26), m_awarded);
    controls::Label(this, QStringLiteral("分"), QRect(836, 98, 30, 26));
    // Digits and one decimal point only; the text is tidied after every change.
    m_awarded->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*\\.?[0-9]*")), m_awarded));
    connect(m_awarded, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString normalized = grading::NormalizedPoints(text);
        if (normalized != text) m_awarded->setText(normalized);
    });

    auto* confirm = controls::Button(this, QStringLiteral("确定"), QRect(720, 148, 120, 34),
                                     QStringLiteral("confirm"));
    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(720, 490, 120, 34),
                                  QStringLiteral("back"));
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(720, 540, 120, 34),
                                  QStringLiteral("exit"));
    connect(confirm, &QPushButton::clicked, this, &CHandworkCorrect::Confirm);
    connect(back, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::CheckScore); });
    connect(exit, &QPushButton::clicked, this, [this] { ExitProgram(this); });
}

void CHandworkCorrect::FillList() {
    m_list->Clear();
    m_answers.clear();
    try {
        m_answers = grading::ListAnswers();
    } catch (const DatabaseError& error) {
        msgbox::Warn(this, QStringLiteral("读取问答题时出错：") + QString::fromUtf8(error.what()));
    }
    QList<QStringList> rows;
    for (size_t i = 0; i < m_answers.size(); ++i) {
        const grading::EssayAnswer& a = m_answers[i];
        rows.append(QStringList{QString::number(i + 1), a.name, a.department, a.position,
                                a.examName, QStringLiteral("是")});
    }
    m_list->AppendRows(rows);
}

void CHandworkCorrect::ShowChosen() {
    const QList<int> ticked = m_list->TickedRows();
    if (ticked.isEmpty()) {
        ClearTexts();
        return;
    }
    const grading::EssayAnswer& chosen = m_answers[size_t(ticked.first())];
    m_stem->setPlainText(chosen.stem);
    m_reference->setPlainText(chosen.reference);
    m_answer->setPlainText(chosen.answer);
    m_questionPoints->setText(chosen.points);
}

void CHandworkCorrect::ClearTexts() {
    m_stem->clear();
    m_reference->clear();
    m_answer->clear();
    m_questionPoints->clear();
}

void CHandworkCorrect::Confirm() {
    const QList<int> ticked = m_list->TickedRows();
    if (ticked.isEmpty()) {
        msgbox::Prompt(this, QStringLiteral("请选择选项。"), msgbox::RemindTitle());
        return;
    }
    const grading::EssayAnswer chosen = m_answers[size_t(ticked.first())];
    const double points = grading::AwardedPoints(m_awarded->text());
    if (grading::ExceedsQuestion(points, chosen.points)) {
        msgbox::Prompt(this, QStringLiteral("本题批改给分不能大于分值！"), msgbox::RemindTitle());
        return;
    }
    if (!msgbox::Ask(this, grading::ConfirmationText(points))) return;
    QString error;
    if (!grading::Award(chosen, points, &error)) {
        msgbox::Warn(this, QStringLiteral("批卷未能保存，该答题仍待批改：") + error);
        return;
    }
    m_awarded->clear();
    FillList();
    ClearTexts();
    if (m_answers.empty()) {
        msgbox::AppMessage(this, QStringLiteral("手工批卷已全部完成，返回到上一窗口。"));
        screens::Go(this, screens::Id::CheckScore);
    }
}

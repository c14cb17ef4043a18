// The question on the exam window: showing it with the stored answer (and in review the
// reference), echoing the blanks into the stem, and reading the answer back off the screen.
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QTextLayout>

#include "app/messagebox.h"
#include "app/screenflow.h"
#include "data/clock.h"
#include "data/dberror.h"
#include "data/questiontype.h"
#include "exam/examlayout.h"
#include "exam/vemodlg.h"
#include "ui/common/mymsgdlg.h"
#include "ui/common/showmap.h"

namespace {

// Radio buttons and check boxes draw one line per "\n"; option texts are broken to the
// control's width so long options wrap.
QString WrapToWidth(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines.join(QLatin1Char('\n'));
}

void ClearGroup(QButtonGroup* group) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

}  // namespace

void CVemoDlg::HideQuestionControls() {
    QWidget* controls[] = {m_optionsLabel, m_trueLetter, m_falseLetter, m_true,   m_false,
                           m_blank1Label,  m_blank1,     m_blank2Label, m_blank2, m_essayLabel,
                           m_essay,        m_yourAnswer, m_reference};
    for (QWidget* w : controls) w->hide();
    for (int i = 0; i < 5; ++i) {
        m_single[i]->hide();
        m_multiple[i]->hide();
        m_letters[i]->hide();
    }
}

bool CVemoDlg::ShowQuestion(int n) {
    ExamSession::Question question;
    try {
        question = m_session.Read(n);
    } catch (const DatabaseError& e) {
        if (PaperLost()) {
            WaitForServer(clock_seam::Now());
            return false;
        }
        ReportDatabaseFailure(QStringLiteral("读取第%1题失败").arg(n), e.what());
        return false;
    }
    const auto& [type, stem, points, picture, options, answer] = question;
    HideQuestionControls();
    m_currentType = qtype::Of(type);
    m_stem = stem;
    m_echo = answers::Echo{stem, {}, {}};
    const bool textAnswer =
        m_currentType == QuestionType::FillIn || m_currentType == QuestionType::Essay;
    m_blank1->setReadOnly(m_review && textAnswer);
    m_blank2->setReadOnly(m_review && textAnswer);
    m_essay->setReadOnly(m_review && textAnswer);
    // Review shows the answers as stored; nothing can be ticked any more.
    for (QAbstractButton* option : m_singleGroup->buttons() + m_judgeGroup->buttons())
        option->setEnabled(!m_review);
    for (QCheckBox* box : m_multiple) box->setEnabled(!m_review);
    if (m_review) ShowReviewAnswers(textAnswer, answer, n);
    ShowPicture(picture);

    {
        const QSignalBlocker b1(m_blank1), b2(m_blank2);
        m_blank1->clear();
        m_blank2->clear();
    }
    m_questionText->setPlainText(stem);
    m_questionText->setExtraSelections({});
    // The numeral is the type's own, whichever types the paper lacks.
    m_section->setText(m_currentType ? qtype::Numeral(qtype::Index(*m_currentType)) : QString());
    m_typeAndPoints->setText(type + QStringLiteral("  每题") + points +
                             (m_currentType == QuestionType::Multiple
                                  ? QStringLiteral("分(选2-5个答案)")
                                  : QStringLiteral("分")));
    if (!m_currentType) return true;
    switch (*m_currentType) {
        case QuestionType::Single: {
            ShowOptions(options, false);
            ClearGroup(m_singleGroup);
            const int chosen = answer.size() == 1 ? answer[0].unicode() - 'A' : -1;
            if (chosen >= 0 && chosen < options.size()) m_single[chosen]->setChecked(true);
            break;
        }
        case QuestionType::TrueFalse:
            for (QWidget* w :
                 {static_cast<QWidget*>(m_optionsLabel), static_cast<QWidget*>(m_trueLetter),
                  static_cast<QWidget*>(m_falseLetter), static_cast<QWidget*>(m_true),
                  static_cast<QWidget*>(m_false)})
                w->show();
            ClearGroup(m_judgeGroup);
            if (answer == QLatin1String("A")) m_true->setChecked(true);
            if (answer == QLatin1String("B")) m_false->setChecked(true);
            break;
        case QuestionType::FillIn:
            return ShowFillIn(stem, answer);
        case QuestionType::Multiple:
            ShowOptions(options, true);
            for (int i = 0; i < 5; ++i)
                m_multiple[i]->setChecked(answer.contains(answers::OptionLetter(i)));
            break;
        case QuestionType::Essay:
            m_essayLabel->show();
            m_essay->show();
            m_essay->setPlainText(answers::EssayForDisplay(answer));
            break;
    }
    return true;
}

void CVemoDlg::ShowOptions(const QStringList& options, bool multiple) {
    m_optionsLabel->show();
    for (int i = 0; i < 5; ++i) {
        QAbstractButton* button =
            multiple ? static_cast<QAbstractButton*>(m_multiple[i]) : m_single[i];
        if (i >= options.size()) continue;
        // Room left of the text for the indicator.
        button->setText(WrapToWidth(options[i], button->font(), button->width() - 30));
        button->setAccessibleName(answers::OptionLetter(i) + QStringLiteral("、") + options[i]);
        button->show();
        m_letters[i]->show();
    }
}

bool CVemoDlg::ShowFillIn(const QString& stem, const QString& answer) {
    const int markers = answers::BlankMarkerCount(stem);
    if (markers != 1 && markers != 2) {
        msgbox::Prompt(this, QStringLiteral("填空题填空符号不符合要求,将退出程序！"));
        Exit();
        return false;
    }
    const answers::Blanks blanks = answers::SplitFillIn(answer);
    {
        const QSignalBlocker b1(m_blank1), b2(m_blank2);
        m_blank1->setText(blanks.first);
        if (markers == 2) m_blank2->setText(blanks.second);
    }
    m_blank1Label->show();
    m_blank1->show();
    if (markers == 2) {
        m_blank2Label->show();
        m_blank2->show();
    }
    UpdateEcho();
    return true;
}

void CVemoDlg::ShowReviewAnswers(bool textAnswer, const QString& answer, int n) {
    const ExamLayout layout(QSize(m_W, m_H));
    const QString reference = QStringLiteral("参考答案：") + Reference(n);
    if (textAnswer) {
        m_reference->setGeometry(layout.TextReference());
        m_reference->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_reference->setText(reference);
        m_yourAnswer->clear();
    } else {
        m_yourAnswer->setText(QStringLiteral("您的答案：") + answer);
        m_reference->setGeometry(layout.OptionReference());
        m_reference->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_reference->setText(reference);
        m_yourAnswer->show();
    }
    m_reference->show();
}

void CVemoDlg::ShowPicture(const QString& picture) {
    ClosePicture();
    if (picture.isEmpty()) return;
    const QString path = QStringLiteral("QuestionMap/") + picture + QStringLiteral(".bmp");
    if (!QFile::exists(path)) {
        ShowTimedNotice(this, QStringLiteral("找不到图片文件"), msgbox::PromptTitle(), 5);
        return;
    }
    m_picture = new CShowMap(path, this);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->show();
}

void CVemoDlg::ClosePicture() {
    delete m_picture.data();
    m_picture = nullptr;
}

void CVemoDlg::OnBlankEdited(QLineEdit* blank) {
    const QString cleaned = answers::CleanBlank(blank->text());
    if (cleaned != blank->text()) {
        const int removed = int(blank->text().size() - cleaned.size());
        const int cursor = qMax(0, blank->cursorPosition() - removed);
        const QSignalBlocker block(blank);
        blank->setText(cleaned);
        blank->setCursorPosition(cursor);
    }
    if (m_currentType == QuestionType::FillIn) UpdateEcho();
}

void CVemoDlg::UpdateEcho() {
    const QString second = m_blank2->isVisibleTo(this) ? m_blank2->text() : QString();
    m_echo = answers::EchoBlanks(m_stem, m_blank1->text(), second);
    m_questionText->setPlainText(m_echo.text);
    QList<QTextEdit::ExtraSelection> underlines;
    for (const answers::Span& span : {m_echo.first, m_echo.second}) {
        if (span.isEmpty()) continue;
        QTextEdit::ExtraSelection underline;
        underline.cursor = QTextCursor(m_questionText->document());
        underline.cursor.setPosition(span.start);
        underline.cursor.setPosition(span.end, QTextCursor::KeepAnchor);
        underline.format.setFontUnderline(true);
        underline.format.setUnderlineColor(m_questionText->palette().color(QPalette::Text));
        underlines << underline;
    }
    m_questionText->setExtraSelections(underlines);
}

std::optional<QVariant> CVemoDlg::AnswerOnScreen(const QString& typeName) const {
    const std::optional<QuestionType> type = qtype::Of(typeName);
    if (!type) return std::nullopt;
    switch (*type) {
        case QuestionType::Single:
            if (auto letter = answers::ChoiceAnswer(m_singleGroup->checkedId())) return *letter;
            break;
        case QuestionType::TrueFalse:
            if (auto letter = answers::ChoiceAnswer(m_judgeGroup->checkedId())) return *letter;
            break;
        case QuestionType::FillIn: {
            const QString text = answers::FillInAnswer(m_blank1->text(), m_blank2->text());
            return text.isEmpty() ? QVariant() : QVariant(text);
        }
        case QuestionType::Multiple: {
            QVector<bool> ticked;
            for (QCheckBox* box : m_multiple)
                ticked << (box->isVisibleTo(this) && box->isChecked());
            if (auto letters = answers::MultipleChoiceAnswer(ticked)) return *letters;
            break;
        }
        case QuestionType::Essay:
            if (auto text = answers::EssayAnswer(m_essay->toPlainText())) return *text;
            break;
    }
    return std::nullopt;
}

#include "ui/papers/typesection.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "app/messagebox.h"
#include "data/dberror.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "ui/common/controls.h"

namespace {

// The points field takes digits and one ".", nothing else.
class PointsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return papers::IsPointsInput(input) ? Acceptable : Invalid;
    }
};

QLineEdit* ReadOnlyField(QWidget* parent, const QRect& at, const QString& name,
                         const QString& accessibleName) {
    QLineEdit* field = controls::Edit(parent, at, name, accessibleName);
    field->setReadOnly(true);
    return field;
}

}  // namespace

CTypeSection::CTypeSection(const QString& type, ChoiceSource choice, QWidget* parent)
    : QGroupBox(type, parent), m_type(type), m_choice(std::move(choice)) {
    BuildControls(!qtype::Is(type, QuestionType::Essay));
    ShowCount(false);
}

void CTypeSection::BuildControls(bool digitsOnlyCount) {
    const QString named = m_type + ' ';
    constexpr int kLeft = 10, kLabelWidth = 36, kFieldWidth = 100, kRight = 160, kRow = 32;
    auto place = [&](int column, int row) {
        const int x = column == 0 ? kLeft : kRight;
        return QRect(x + kLabelWidth + 2, 24 + row * kRow, kFieldWidth, 24);
    };
    auto label = [&](const char* text, int column, int row, QWidget* buddy) {
        const QRect field = place(column, row);
        controls::Label(this, QString::fromUtf8(text),
                        QRect(field.x() - kLabelWidth - 2, field.y(), kLabelWidth, 24), buddy);
    };

    m_difficulty = controls::DropDownList(this, place(0, 0), "difficulty", named + "难度");
    m_difficulty->addItems(schema::Difficulties());
    m_difficulty->setCurrentIndex(-1);
    m_available = ReadOnlyField(this, place(1, 0), "available", named + "题数");
    m_points = controls::Edit(this, place(0, 1), "points", named + "分值");
    m_points->setValidator(new PointsValidator(m_points));
    m_count = controls::Edit(this, place(1, 1), "count", named + "抽取");
    if (digitsOnlyCount)
        m_count->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_count));
    m_subtotal = ReadOnlyField(this, place(0, 2), "subtotal", named + "分数");
    m_total = ReadOnlyField(this, place(1, 2), "total", named + "总分");
    m_available->setToolTip(QStringLiteral("题数：题库中符合所选科目、对象和难度的题目数"));
    m_count->setToolTip(QStringLiteral("抽取：考试时从这些题目中随机抽取的题数"));
    m_subtotal->setToolTip(QStringLiteral("分数：这条规则的小计，即抽取题数×分值"));
    label("难度", 0, 0, m_difficulty);
    label("题数", 1, 0, m_available);
    label("分值", 0, 1, m_points);
    label("抽取", 1, 1, m_count);
    label("分数", 0, 2, m_subtotal);
    label("总分", 1, 2, m_total);

    auto* add = controls::Button(this, QStringLiteral("确定"), place(0, 3).adjusted(0, -1, 0, 3),
                                 "addRule");
    auto* clearRule = controls::Button(this, QStringLiteral("清空"),
                                       place(1, 3).adjusted(0, -1, 0, 3), "clearRule");
    add->setAccessibleName(named + "确定");
    clearRule->setAccessibleName(named + "清空规则");

    m_rules = new QPlainTextEdit(this);
    m_rules->setObjectName(QStringLiteral("ruleText"));
    m_rules->setAccessibleName(named + "组卷规则");
    m_rules->setReadOnly(true);
    m_rules->setGeometry(kLeft, 152, 296, 80);

    m_questions = ReadOnlyField(this, QRect(kLeft + 70, 238, 68, 24), "questions", QString());
    m_questionsLabel = controls::Label(this, m_type + "数", QRect(kLeft, 238, 68, 24), m_questions);
    m_clearSection =
        controls::Button(this, QStringLiteral("清空"),
                         QRect(kRight + kLabelWidth + 2, 236, kFieldWidth, 28), "clearSection");
    m_clearSection->setAccessibleName(named + "清空全部");

    connect(m_difficulty, &QComboBox::currentIndexChanged, this, [this] { CountAvailable(); });
    connect(m_points, &QLineEdit::textEdited, this, [this] { PointsEdited(); });
    connect(m_count, &QLineEdit::textEdited, this, [this] { CountEdited(); });
    connect(add, &QPushButton::clicked, this, [this] { AddRule(); });
    connect(clearRule, &QPushButton::clicked, this, [this] { ClearRuleInputs(); });
    connect(m_clearSection, &QPushButton::clicked, this, [this] {
        ReleasePoints();
        ResetSection();
    });
}

papers::SectionState CTypeSection::State() const {
    int questions = 0;
    for (int count : m_counts) questions += count;
    return {m_ruleText, questions, m_total->text()};
}

void CTypeSection::CountAvailable() {
    const Choice choice = m_choice();
    try {
        m_available->setText(papers::AvailableQuestions(m_type, choice.mode, choice.subject,
                                                        choice.group, m_difficulty->currentText()));
    } catch (const DatabaseError&) {
        // The bank cannot be read: nothing is known to be available.
        m_available->clear();
    }
}

void CTypeSection::RecountAvailable() {
    if (m_difficulty->currentIndex() >= 0) CountAvailable();
}

void CTypeSection::PointsEdited() {
    const QString corrected = papers::CorrectPoints(m_points->text());
    if (corrected != m_points->text()) m_points->setText(corrected);
    UpdateSubtotal();
}

void CTypeSection::CountEdited() {
    const QString refusal =
        papers::DrawCountRefusal(papers::ReadDrawCount(m_count->text()), m_available->text());
    if (!refusal.isEmpty()) {
        msgbox::Prompt(this, refusal);
        m_count->clear();
    }
    UpdateSubtotal();
}

void CTypeSection::UpdateSubtotal() {
    m_subtotal->setText(papers::Subtotal(m_points->text(), m_count->text()));
}

void CTypeSection::AddRule() {
    const Choice choice = m_choice();
    const papers::RuleResult result = papers::AddRule(
        m_ruleText, {choice.mode, choice.subject, choice.group, m_difficulty->currentText(),
                     m_points->text(), m_count->text()});
    if (!result.refusal.isEmpty()) {
        msgbox::Prompt(this, result.refusal);
        return;
    }
    // A count that arrived without a keystroke (pasted by the platform, set by an
    // assistive tool) was never checked against the questions available.
    const QString countRefusal = papers::DrawCountRefusal(result.count, m_available->text());
    if (!countRefusal.isEmpty()) {
        msgbox::Prompt(this, countRefusal);
        m_count->clear();
        UpdateSubtotal();
        return;
    }
    m_ruleText = result.ruleText;
    m_rules->setPlainText(m_ruleText);
    m_counts << result.count;
    const int questions = State().questions;
    m_questions->setText(QString::number(questions));
    m_total->setText(papers::FormatPoints(m_points->text().toDouble() * questions));
    m_points->setReadOnly(true);
    m_count->clear();
    m_available->clear();
    m_subtotal->clear();
    m_difficulty->setCurrentIndex(-1);
    ShowCount(true);
    emit RuleAdded();
}

void CTypeSection::ClearRuleInputs() {
    if (!m_points->isReadOnly()) m_points->clear();
    m_count->clear();
    m_difficulty->setCurrentIndex(-1);
    m_available->clear();
    m_subtotal->clear();
}

void CTypeSection::ResetSection() {
    m_ruleText.clear();
    m_counts.clear();
    m_rules->clear();
    m_total->clear();
    m_questions->clear();
    ShowCount(false);
}

void CTypeSection::ReleasePoints() {
    m_points->setReadOnly(false);
    m_points->clear();
}

void CTypeSection::ResetAll() {
    ClearRuleInputs();
    ReleasePoints();
    ResetSection();
}

void CTypeSection::ShowCount(bool shown) {
    m_questions->setVisible(shown);
    m_questionsLabel->setVisible(shown);
    m_clearSection->setVisible(shown);
}

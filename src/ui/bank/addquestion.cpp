#include "ui/bank/addquestion.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/desktop.h"
#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "data/dberror.h"
#include "data/questiontype.h"
#include "data/schema.h"
#include "data/settings.h"
#include "rules/names.h"
#include "rules/questionbank.h"
#include "rules/questionentry.h"
#include "ui/common/controls.h"
#include "ui/common/guarded.h"
#include "ui/common/showmap.h"

namespace {

const QRect kAnswerBesideOptions(85, 356, 200, 28);
const QRect kAnswerInPlaceOfOptions(85, 184, 595, 162);

QComboBox* List(QWidget* parent, const QRect& at, const char* name, const QString& label,
                const QRect& labelAt, const QStringList& items = {}) {
    auto* list = controls::DropDownList(parent, at, QString::fromLatin1(name));
    controls::Label(parent, label, labelAt, list);
    list->addItems(items);
    list->setCurrentIndex(-1);
    return list;
}

// The chosen picture, whatever its format, as a BMP file.
bool WriteAsBmp(const QString& source, const QString& target) {
    const QImage picture(source);
    return !picture.isNull() && picture.save(target, "BMP");
}

}  // namespace

CAddQuestion::CAddQuestion(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("手动添加题目"));
    setFixedSize(700, 465);
    InstallScreenKeyFilter(this);
    BuildControls();
    ShowLayoutOf(qtype::Name(QuestionType::Single));
}

CAddQuestion::~CAddQuestion() = default;

void CAddQuestion::BuildControls() {
    QStringList subjects;
    // Without subjects nothing can be added: the user learns why at once.
    Guarded(this, QStringLiteral("题库"), [&] { subjects = bank::Subjects(); });
    m_subject = List(this, QRect(65, 20, 150, 26), "subject", QStringLiteral("科目"),
                     QRect(20, 20, 40, 26), subjects);
    m_type = List(this, QRect(280, 20, 150, 26), "type", QStringLiteral("题型"),
                  QRect(235, 20, 40, 26), qtype::Names());
    m_difficulty = List(this, QRect(495, 20, 150, 26), "difficulty", QStringLiteral("难度"),
                        QRect(450, 20, 40, 26), schema::Difficulties());
    m_group = List(this, QRect(65, 56, 150, 26), "group", QStringLiteral("对象"),
                   QRect(20, 56, 40, 26), settings::TargetGroups());

    m_stem = new QPlainTextEdit(this);
    m_stem->setObjectName(QStringLiteral("stem"));
    m_stem->setGeometry(65, 92, 615, 80);
    m_stem->setAccessibleName(QStringLiteral("题干"));
    controls::Label(this, QStringLiteral("题 干"), QRect(20, 92, 45, 26), m_stem);

    const QString letters = QStringLiteral("ABCDE");
    for (int i = 0; i < letters.size(); ++i) {
        const int y = 184 + i * 34;
        auto* option =
            controls::Edit(this, QRect(65, y, 615, 26), QStringLiteral("option") + letters[i]);
        m_optionLabels << controls::Label(this, QStringLiteral("选项") + letters[i],
                                          QRect(20, y, 45, 26), option);
        m_options << option;
    }

    m_answer = new QPlainTextEdit(this);
    m_answer->setObjectName(QStringLiteral("answer"));
    m_answer->setAccessibleName(QStringLiteral("标准答案"));
    m_answerLabel =
        controls::Label(this, QStringLiteral("标准答案"), QRect(20, 357, 60, 26), m_answer);
    m_otherAnswerLabel =
        controls::Label(this, QStringLiteral("标准答案"), QRect(20, 184, 60, 26), m_answer);
    m_trueFalse = controls::DropDownList(this, QRect(85, 184, 100, 26), "trueFalse",
                                         QStringLiteral("判断题标准答案"));
    m_trueFalse->addItems({QStringLiteral("A"), QStringLiteral("B")});
    m_trueFalse->setCurrentIndex(-1);
    m_trueFalseHint =
        controls::Label(this, QStringLiteral("正确选A，错误选B"), QRect(200, 184, 200, 26));

    auto* picture =
        controls::Button(this, QStringLiteral("导入\n图片"), QRect(20, 398, 80, 48), "picture");
    picture->setAccessibleName(QStringLiteral("导入图片"));
    auto* add = controls::Button(this, QStringLiteral("添加"), QRect(380, 405, 90, 34), "add");
    auto* clear = controls::Button(this, QStringLiteral("清空"), QRect(480, 405, 90, 34), "clear");
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(580, 405, 90, 34), "exit");

    connect(m_type, &QComboBox::currentTextChanged, this, &CAddQuestion::ShowLayoutOf);
    connect(picture, &QPushButton::clicked, this, &CAddQuestion::ChoosePicture);
    connect(add, &QPushButton::clicked, this, &CAddQuestion::Add);
    connect(clear, &QPushButton::clicked, this, &CAddQuestion::Clear);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

// Hiding a control keeps its text.
void CAddQuestion::ShowLayoutOf(const QString& type) {
    if (type.isEmpty()) return;
    const bool trueFalse = qtype::Is(type, QuestionType::TrueFalse);
    const bool freeAnswer =
        qtype::Is(type, QuestionType::FillIn) || qtype::Is(type, QuestionType::Essay);
    const bool options = !trueFalse && !freeAnswer;
    for (QLabel* label : m_optionLabels) label->setVisible(options);
    for (QLineEdit* option : m_options) option->setVisible(options);
    m_answerLabel->setVisible(options);
    m_answer->setVisible(!trueFalse);
    m_answer->setGeometry(freeAnswer ? kAnswerInPlaceOfOptions : kAnswerBesideOptions);
    m_otherAnswerLabel->setVisible(trueFalse || freeAnswer);
    m_trueFalse->setVisible(trueFalse);
    m_trueFalseHint->setVisible(trueFalse);
    m_answer->setToolTip(
        qtype::Is(type, QuestionType::FillIn)
            ? QStringLiteral("有多个空时，各空的答案之间用“#”隔开，如：答案一#答案二")
            : QString());
}

void CAddQuestion::ChoosePicture() {
    const QString path = desktop::GetOpenFileName(
        this, QStringLiteral("打开"),
        QStringLiteral("所有文件(*.*);;图片文件(*.bmp);;图片文件(*.jpg *.jpeg)"));
    if (path.isEmpty()) return;
    if (!entry::IsPictureFile(path)) {
        msgbox::Prompt(this, QStringLiteral("请选择jpg或jpeg或bmp文件"));
        return;
    }
    m_picturePath = path;
    m_preview.reset();
    m_preview = std::make_unique<CShowMap>(path, this);
    m_preview->show();
}

void CAddQuestion::Add() {
    entry::Draft draft;
    draft.subject = m_subject->currentText();
    draft.type = m_type->currentText();
    draft.stem = m_stem->toPlainText();
    for (QLineEdit* option : m_options) draft.options << option->text();
    draft.answerText = m_answer->toPlainText();
    draft.trueFalse = m_trueFalse->currentText();
    draft.difficulty = m_difficulty->currentText();
    draft.group = m_group->currentText();

    const entry::Refusal refusal = entry::Check(draft);
    if (refusal != entry::Refusal::None) {
        msgbox::Prompt(this, entry::RefusalText(refusal),
                       entry::IsReminder(refusal) ? msgbox::RemindTitle() : msgbox::PromptTitle());
        return;
    }
    const QString nameRefusal = names::QuestionRefusal(draft.subject, draft.group);
    if (!nameRefusal.isEmpty()) {
        msgbox::Prompt(this, nameRefusal);
        return;
    }
    try {
        if (entry::IsDuplicate(draft)) {
            msgbox::Prompt(this, QStringLiteral("题目已存在，不能重复添加！"));
            return;
        }
        const bool withPicture =
            m_preview && m_preview->isVisible() &&
            msgbox::Ask(this, QStringLiteral("确认要导入图片文件?"), msgbox::PromptTitle());
        entry::PictureWriter writePicture;
        if (withPicture)
            writePicture = [source = m_picturePath](const QString& target) {
                return WriteAsBmp(source, target);
            };
        if (entry::Store(draft, writePicture) == entry::StoreOutcome::PictureNotWritten) {
            msgbox::Prompt(this, QStringLiteral("图片文件无法保存，题目未添加！"));
            return;
        }
        m_preview.reset();
    } catch (const DatabaseError& e) {
        msgbox::Prompt(this, FailureMessage(e, QStringLiteral("题目添加失败！")));
        return;
    }
    msgbox::Prompt(this, QStringLiteral("题目添加成功!"));
}

// The picture and its preview stay.
void CAddQuestion::Clear() {
    m_stem->clear();
    for (QLineEdit* option : m_options) option->clear();
    m_answer->clear();
    for (QComboBox* list : {m_subject, m_type, m_group, m_difficulty, m_trueFalse})
        list->setCurrentIndex(-1);
}

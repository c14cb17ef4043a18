#include "rules/printedlayout.h"

#include <cstdlib>

#include "data/gbk.h"
#include "data/questiontype.h"

namespace printed {
namespace {

const QString kIndent = QStringLiteral("    ");
const QString kBlank = QString(13, '_');

QString OptionLine(const QString& letter, const QString& text) {
    return kIndent + letter + "、" + text + '\n';
}

QString PaddedPair(const QString& first, const QString& a, const QString& second,
                   const QString& b) {
    return kIndent + first + "、" + a + QString(kOptionColumn - GbkLength(a), ' ') + second + "、" +
           b + '\n';
}

}  // namespace

int GbkLength(const QString& text) {
    return int(ToGbk(text).size());
}

double LeadingNumber(const QString& text) {
    return std::atof(text.toLatin1().constData());
}

QString OptionLines(QStringList options) {
    while (options.size() < 5) options << QString();
    bool twoPerLine = true;
    for (QString& option : options) {
        option.remove(' ');
        if (GbkLength(option) > kOptionColumn) twoPerLine = false;
    }
    QString lines;
    if (twoPerLine) {
        lines = PaddedPair("A", options[0], "B", options[1]) +
                PaddedPair("C", options[2], "D", options[3]);
    } else {
        const QStringList letters = {"A", "B", "C", "D"};
        for (int i = 0; i < letters.size(); ++i) lines += OptionLine(letters[i], options[i]);
    }
    if (!options[4].isEmpty()) lines += OptionLine("E", options[4]);
    return lines;
}

SectionText LayoutSection(const QString& type, const QList<Question>& questions) {
    if (questions.isEmpty()) return {};
    const std::optional<QuestionType> kind = qtype::Of(type);
    const bool essay = kind == QuestionType::Essay;
    QString body, key;
    double sum = 0;
    int number = 1;
    for (const Question& q : questions) {
        QString block = QString::number(number) + "、" + q.stem + '\n';
        QString answer = q.answer;
        if (kind == QuestionType::TrueFalse) {
            block += kIndent + "A、正确" + QString(20, ' ') + "B、错误\n";
        } else if (kind == QuestionType::Single || kind == QuestionType::Multiple) {
            block += OptionLines(q.options);
        } else if (kind == QuestionType::FillIn) {
            block.remove(' ');
            block.replace(QStringLiteral("【】"), kBlank);
            answer.replace('#', ' ');
        } else if (essay) {
            block += QStringLiteral("\n\n\n\n");  // room for the written answer
        }
        body += block;
        sum += LeadingNumber(q.points);
        key += QString::number(number) + "、" + answer + (essay ? QStringLiteral("\n") : "，");
        ++number;
    }
    const QString heading = QStringLiteral("（每题%1分，共%2分）")
                                .arg(questions.last().points, QString::asprintf("%.1f", sum));
    return {type + '\n' + key + '\n', type + heading + '\n' + body};
}

void NumberSections(QList<SectionText>& sections) {
    int next = 0;
    for (SectionText& section : sections) {
        if (section.questions.isEmpty()) continue;
        const QString numeral = qtype::Numeral(next++);
        section.questions.prepend(numeral);
        section.answers.prepend(numeral);
    }
}

QString ExamineeLine() {
    return "姓名" + kBlank + " 职务" + kBlank + " 得分" + kBlank + '\n';
}

QString MarksLine(double fullMarks, const QString& minutes, const QString& passMark) {
    return QStringLiteral("（试卷满分%1分，要求在%2分钟内完成，合格分为%3分）")
        .arg(QString::asprintf("%.1f", fullMarks), minutes, passMark);
}

QString AnswerKeyHeading() {
    return QStringLiteral("参考答案");
}

}  // namespace printed

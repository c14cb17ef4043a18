#include "exam/examlayout.h"

#include "data/questiontype.h"

namespace {
// The layout is given as left, top, right, bottom.
QRect Ltrb(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}
}  // namespace

QRect ExamLayout::ExamName() const {
    return Ltrb(3 * W / 10, 40, 3 * W / 10 + 13 * W / 20, 90);
}
QRect ExamLayout::Clock() const {
    return Ltrb(5 * W / 10, 100, 5 * W / 10 + 200, 120);
}
QRect ExamLayout::SectionNumeral() const {
    return Ltrb(6 * W / 20 - 40, 125, 6 * W / 20, 160);
}
QRect ExamLayout::QuestionNumber() const {
    return Ltrb(6 * W / 20 - 40, 160, 6 * W / 20, 195);
}
QRect ExamLayout::TypeAndPoints() const {
    return Ltrb(6 * W / 20, 125, 6 * W / 20 + 280, 160);
}
QRect ExamLayout::TimeLimit() const {
    return Ltrb(15 * W / 20, 125, 15 * W / 20 + 150, 145);
}
QRect ExamLayout::QuestionText() const {
    return Ltrb(3 * W / 10, 160, 3 * W / 10 + 13 * W / 20, 3 * H / 20 + 160);
}
QRect ExamLayout::OptionsLabel() const {
    return Ltrb(6 * W / 20 - 40, 3 * H / 20 + 180, 6 * W / 20, 3 * H / 20 + 215);
}
QRect ExamLayout::Remaining() const {
    return Ltrb(6 * W / 10 + 180, 3 * H / 20 + 180, 6 * W / 10 + 340, 3 * H / 20 + 215);
}
QRect ExamLayout::Start() const {
    return Ltrb(6 * W / 10, H / 5 + 180, 6 * W / 10 + 100, H / 5 + 225);
}
QRect ExamLayout::Rules() const {
    return Ltrb(3 * W / 10, H / 5 + 280, 3 * W / 10 + 600, H / 5 + 480);
}
QRect ExamLayout::Blank1Label() const {
    return Ltrb(3 * W / 10, 3 * H / 20 + 220, 3 * W / 10 + 40, 3 * H / 20 + 260);
}
QRect ExamLayout::Blank1() const {
    return Ltrb(3 * W / 10 + 60, 3 * H / 20 + 220, 3 * W / 10 + 13 * W / 20, 3 * H / 20 + 260);
}
QRect ExamLayout::Blank2Label() const {
    return Ltrb(3 * W / 10, 3 * H / 20 + 300, 3 * W / 10 + 40, 3 * H / 20 + 340);
}
QRect ExamLayout::Blank2() const {
    return Ltrb(3 * W / 10 + 60, 3 * H / 20 + 300, 3 * W / 10 + 13 * W / 20, 3 * H / 20 + 340);
}
QRect ExamLayout::Essay() const {
    return Ltrb(3 * W / 10 + 60, 3 * H / 20 + 220, 3 * W / 10 + 13 * W / 20,
                2 * (3 * H / 20) + 220);
}
QRect ExamLayout::TrueLetter() const {
    return Ltrb(4 * W / 10, 3 * H / 20 + 300, 4 * W / 10 + 40, 3 * H / 20 + 316);
}
QRect ExamLayout::FalseLetter() const {
    return Ltrb(6 * W / 10, 3 * H / 20 + 300, 6 * W / 10 + 40, 3 * H / 20 + 316);
}
QRect ExamLayout::TrueButton() const {
    return Ltrb(4 * W / 10 + 38, 3 * H / 20 + 300, 4 * W / 10 + 118, 3 * H / 20 + 320);
}
QRect ExamLayout::FalseButton() const {
    return Ltrb(6 * W / 10 + 38, 3 * H / 20 + 300, 6 * W / 10 + 118, 3 * H / 20 + 320);
}
QRect ExamLayout::Option(int i) const {
    return Ltrb(3 * W / 10 + 38, 3 * H / 20 + 214 + 60 * i, 19 * W / 20, 3 * H / 20 + 262 + 60 * i);
}
QRect ExamLayout::OptionLetter(int i) const {
    return Ltrb(3 * W / 10, 3 * H / 20 + 230 + 60 * i, 3 * W / 10 + 24, 3 * H / 20 + 250 + 60 * i);
}
QRect ExamLayout::Previous() const {
    return Ltrb(5 * W / 10, H / 5 + 520, 5 * W / 10 + 90, H / 5 + 560);
}
QRect ExamLayout::Next() const {
    return Ltrb(6 * W / 10, H / 5 + 520, 6 * W / 10 + 90, H / 5 + 560);
}
QRect ExamLayout::HandIn() const {
    return Ltrb(7 * W / 10, H / 5 + 520, 7 * W / 10 + 90, H / 5 + 560);
}
QRect ExamLayout::ServerNotice() const {
    return Ltrb(3 * W / 10, H / 5 + 575, 3 * W / 10 + 13 * W / 20, H / 5 + 605);
}
QRect ExamLayout::YourAnswer() const {
    return Ltrb(3 * W / 10, H / 5 + 467, 2 * (3 * W / 10), H / 5 + 502);
}
QRect ExamLayout::OptionReference() const {
    return Ltrb(7 * W / 10, H / 5 + 467, 7 * W / 10 + 3 * W / 10, H / 5 + 502);
}
QRect ExamLayout::TextReference() const {
    return Ltrb(3 * W / 10, 6 * H / 20 + 260, 3 * W / 10 + 13 * W / 20,
                6 * H / 20 + 260 + (242 - H / 10));
}
QRect ExamLayout::Panel() const {
    // The number labels end at x 240; the panel never reaches into the question column.
    return QRect(0, 0, qMax(260, 3 * W / 10 - 50), H);
}

int PanelRows(int questions) {
    if (questions <= 0) return 0;
    return questions / 5 + (questions % 5 != 0 ? 1 : 0) + 1;
}

QVector<PanelSection> LayoutPanel(const std::array<int, 5>& countsByType) {
    const QStringList types = qtype::Names();
    QVector<PanelSection> sections;
    int rowsAbove = 0;
    int number = 1;
    for (int t = 0; t < 5; ++t) {
        const int count = countsByType[t];
        if (count <= 0) continue;
        PanelSection section;
        section.typeIndex = t;
        section.heading = qtype::Numeral(int(sections.size())) + types[t];
        const int top = 120 + 20 * rowsAbove;
        section.headingRect = Ltrb(50, top, 120, top + 15);
        section.firstNumber = number;
        for (int k = 0; k < count; ++k) {
            const int x = 70 + 35 * (k % 5);
            const int y = 140 + 20 * rowsAbove + 20 * (k / 5);
            section.numbers << Ltrb(x, y, x + 30, y + 15);
        }
        number += count;
        rowsAbove += PanelRows(count);
        sections << section;
    }
    return sections;
}

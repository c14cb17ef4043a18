#include "exam/navpanel.h"

#include <QMouseEvent>
#include <QPainter>

#include "exam/examlayout.h"

namespace {
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
}  // namespace

CNumberLabel::CNumberLabel(int number, QWidget* parent)
    : QLabel(QString::number(number), parent), m_number(number) {
    setAlignment(Qt::AlignCenter);
    setObjectName(QStringLiteral("number%1").arg(number));
    setProperty("controlId", 2100 + number);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(QStringLiteral("第%1题").arg(number));
}

void CNumberLabel::SetMark(NumberMark mark) {
    if (mark == m_mark) return;
    m_mark = mark;
    update();
}

void CNumberLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked(m_number);
    QLabel::mousePressEvent(event);
}

void CNumberLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (m_mark == NumberMark::None) return;
    QPainter painter(this);
    auto line = [&painter](const QColor& colour, QPoint from, QPoint to) {
        painter.setPen(QPen(colour, 2));
        painter.drawLine(from, to);
    };
    auto cross = [&] {
        line(kRed, {8, 1}, {22, 14});
        line(kRed, {22, 1}, {8, 14});
    };
    auto tick = [&] {
        line(kGreen, {8, 6}, {12, 14});
        line(kGreen, {12, 14}, {22, 1});
    };
    switch (m_mark) {
        case NumberMark::Answered:
            line(kRed, {5, 7}, {25, 7});
            break;
        case NumberMark::Essay:
            line(kGreen, {5, 7}, {25, 7});
            break;
        case NumberMark::Right:
            tick();
            break;
        case NumberMark::HalfRight:
            tick();
            line(kRed, {14, 1}, {22, 12});
            break;
        case NumberMark::Wrong:
            cross();
            break;
        case NumberMark::None:
            break;
    }
}

CNavigationPanel::CNavigationPanel(const std::array<int, 5>& countsByType, const QFont& font,
                                   QWidget* parent)
    : QWidget(parent) {
    static const int kHeadingIds[5] = {2080, 2085, 2090, 1023, 1035};
    static const char* const kHeadingNames[5] = {"headingSingle", "headingJudge", "headingFill",
                                                 "headingMultiple", "headingEssay"};
    int bottom = 0;
    for (const PanelSection& section : LayoutPanel(countsByType)) {
        auto* heading = new QLabel(section.heading, this);
        heading->setObjectName(QString::fromLatin1(kHeadingNames[section.typeIndex]));
        heading->setProperty("controlId", kHeadingIds[section.typeIndex]);
        heading->setFont(font);
        heading->setGeometry(section.headingRect);
        for (int k = 0; k < section.numbers.size(); ++k) {
            auto* label = new CNumberLabel(section.firstNumber + k, this);
            label->setFont(font);
            label->setGeometry(section.numbers[k]);
            connect(label, &CNumberLabel::clicked, this, &CNavigationPanel::numberClicked);
            m_numbers << label;
            bottom = qMax(bottom, section.numbers[k].bottom());
        }
    }
    setMinimumHeight(bottom + 20);
}

CNumberLabel* CNavigationPanel::NumberLabel(int number) const {
    return number >= 1 && number <= m_numbers.size() ? m_numbers[number - 1] : nullptr;
}

void CNavigationPanel::SetMarks(const QVector<NumberMark>& marks) {
    for (int i = 0; i < m_numbers.size(); ++i)
        m_numbers[i]->SetMark(i < marks.size() ? marks[i] : NumberMark::None);
}

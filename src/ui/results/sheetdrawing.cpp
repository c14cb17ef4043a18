#include "ui/results/sheetdrawing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

const QColor kTextColour(160, 82, 45);
const QColor kBorderColour(0, 0, 255);
const QColor kPaper(253, 251, 243);
const QColor kPageFrame(184, 150, 102);
const QColor kSealRed(214, 32, 32);
constexpr double kPi = 3.14159265358979323846;

QFont SheetFont(int pixelSize, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // Slightly narrow, as the classic Song face is: the date fits its cell under the
    // time used, and seven characters fit a wrapped line.
    font.setStretch(90);
    return font;
}

// The page: paper, a double frame and the heading 考试成绩统计.
void DrawPage(QPainter& painter) {
    painter.fillRect(QRect(0, 0, scoresheet::kWidth, scoresheet::kHeight), kPaper);
    painter.setPen(QPen(kPageFrame, 3));
    painter.drawRect(QRect(14, 14, scoresheet::kWidth - 29, scoresheet::kHeight - 29));
    painter.setPen(QPen(kPageFrame, 1));
    painter.drawRect(QRect(20, 20, scoresheet::kWidth - 41, scoresheet::kHeight - 41));
    painter.setFont(SheetFont(30, true));
    painter.setPen(kTextColour);
    painter.drawText(QRect(0, 40, scoresheet::kWidth, 50), Qt::AlignCenter,
                     QStringLiteral("考试成绩统计"));
}

// The seal, 130 × 78 at (465, 60), stamped over the date: an oval ring with a star above
// the date's line and the words 成绩专用 below it.
void DrawSeal(QPainter& painter) {
    const QRectF oval(465 + 3, 60 + 3, 130 - 6, 78 - 6);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kSealRed, 3));
    painter.drawEllipse(oval);
    QPainterPath star;
    const QPointF centre(oval.center().x(), oval.top() + 20);
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 10 : 4;
        const double angle = -kPi / 2 + i * kPi / 5;
        const QPointF p = centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
        i == 0 ? star.moveTo(p) : star.lineTo(p);
    }
    star.closeSubpath();
    painter.fillPath(star, kSealRed);
    painter.setFont(SheetFont(11, true));
    painter.setPen(kSealRed);
    painter.drawText(QRectF(oval.left(), oval.bottom() - 18, oval.width(), 14), Qt::AlignCenter,
                     QStringLiteral("成绩专用"));
    painter.restore();
}

// Text placed as the sheet's positions mean it: (x, y) is the top of the character box,
// not the top of the font's line, so the two lines of a cell stay inside its 34 pixels
// with any CJK face.
constexpr int kPixelSize = 15;  // 11.5 points at 96 dots per inch
constexpr int kAscent = 13;

void DrawText(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(QPoint(x, y + kAscent), text);
}

void DrawCell(QPainter& painter, const scoresheet::Cell& cell) {
    const QRect& r = cell.rect;
    painter.setPen(kBorderColour);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    painter.setPen(kTextColour);
    const QFontMetrics metrics = painter.fontMetrics();
    switch (cell.kind) {
        case scoresheet::CellKind::SingleLine:
            DrawText(painter, r.x() + (r.width() - metrics.horizontalAdvance(cell.line1)) / 2,
                     r.y() + 10, cell.line1);
            break;
        case scoresheet::CellKind::TwoLine: {
            const int x = r.x() + (r.width() - metrics.horizontalAdvance(cell.line1)) / 2;
            DrawText(painter, x, r.y() + 2, cell.line1);
            DrawText(painter, x, r.y() + 18, cell.line2);
            break;
        }
        case scoresheet::CellKind::Wrapped:
            DrawText(painter, r.x() + 5, r.y() + 2, cell.line1);
            DrawText(painter, r.x() + 5, r.y() + 18, cell.line2);
            break;
    }
}

}  // namespace

QImage DrawScoreSheet(const ScoreSheet& sheet, const QDate& today) {
    QImage image(scoresheet::kWidth, scoresheet::kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    DrawPage(painter);
    DrawSeal(painter);

    const scoresheet::Layout layout = scoresheet::LayOut(sheet, today);
    painter.setFont(SheetFont(kPixelSize));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(kTextColour);
    DrawText(painter, 490, 102, layout.date);
    DrawText(painter, 108, 120, layout.examLine);
    DrawText(painter, 108, 146, layout.paperLine);
    for (const scoresheet::Cell& cell : layout.cells) DrawCell(painter, cell);

    const QString caption = scoresheet::FooterCaption();
    painter.setPen(kTextColour);
    DrawText(painter, scoresheet::kFooterRight - painter.fontMetrics().horizontalAdvance(caption),
             layout.footerY, caption);
    return image;
}

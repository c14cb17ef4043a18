#pragma once

#include <QDate>
#include <QImage>

#include "rules/scoresheet.h"

// Draws the 656 × 928 score sheet: the page with its heading and seal, the exam and
// paper lines, the table and the footer. The screen shows this very image and 保存
// writes it, so the two match pixel for pixel.
QImage DrawScoreSheet(const ScoreSheet& sheet, const QDate& today);

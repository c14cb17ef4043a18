#pragma once

#include <QDialog>
#include <QImage>
#include <array>

#include "rules/statistics.h"

class QLabel;

// 统计分析 of one exam: how many sat, the figures of their scores, and the scores per
// tenth of the full mark as a bar chart with the pass mark drawn; the chart can be
// saved as a PNG picture, and the questions analysed (试题分析).
class CScoreStatistics : public QDialog {
    Q_OBJECT
public:
    explicit CScoreStatistics(const QString& examName, QWidget* parent = nullptr);

    const QImage& Chart() const { return m_chart; }

private:
    void AddFigure(int row, const QString& caption, const char* objectName, const QString& value);
    void SaveChart();

    QString m_examName;
    QImage m_chart;
};

// The bar chart of the bins over the full mark, the pass mark as a dashed line.
QImage DrawHistogram(const std::array<int, statistics::kBins>& bins, double fullMark,
                     double passMark, const QSize& size);

#include "ui/results/scorestatistics.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screens.h"
#include "data/dberror.h"
#include "ui/common/controls.h"
#include "ui/results/savefile.h"

namespace {

const QSize kChartSize(620, 460);

QString Decimal(double value) {
    return QString::number(value, 'f', 2);
}

// Bins and marks read best without trailing zeros: 7.5, 10, 60.
QString Mark(double value) {
    return QString::number(value, 'g', 6);
}

}  // namespace

QImage DrawHistogram(const std::array<int, statistics::kBins>& bins, double fullMark,
                     double passMark, const QSize& size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    const QRect plot(60, 50, size.width() - 90, size.height() - 120);
    painter.drawText(QRect(0, 10, size.width(), 30), Qt::AlignCenter,
                     QStringLiteral("成绩分布（满分%1分）").arg(Mark(fullMark)));

    const int most = std::max(1, *std::max_element(bins.begin(), bins.end()));
    // A scale of 4 or 5 steps of a whole number of examinees.
    const int step = std::max(1, (most + 4) / 5);
    const int top = step * ((most + step - 1) / step);
    painter.setPen(QColor(200, 200, 200));
    for (int value = 0; value <= top; value += step) {
        const int y = plot.bottom() - plot.height() * value / top;
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, y - 10, plot.left() - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(value));
        painter.setPen(QColor(200, 200, 200));
    }
    painter.setPen(Qt::black);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawText(QRect(10, plot.top() - 32, 120, 20), Qt::AlignLeft, QStringLiteral("人数"));

    const double width = double(plot.width()) / statistics::kBins;
    for (int bin = 0; bin < statistics::kBins; ++bin) {
        const int height = plot.height() * bins[size_t(bin)] / top;
        const QRectF bar(plot.left() + bin * width + 4, plot.bottom() - height, width - 8, height);
        painter.fillRect(bar, QColor(70, 130, 180));
        if (bins[size_t(bin)] > 0)
            painter.drawText(QRectF(bar.left(), bar.top() - 20, bar.width(), 18), Qt::AlignCenter,
                             QString::number(bins[size_t(bin)]));
    }
    // The bounds under the edges of the bins: ranges under the bars would not fit.
    for (int edge = 0; edge <= statistics::kBins; ++edge)
        painter.drawText(QRectF(plot.left() + (edge - 0.5) * width, plot.bottom() + 4, width, 20),
                         Qt::AlignCenter,
                         QString::number(fullMark * edge / statistics::kBins, 'g', 3));
    painter.drawText(QRect(plot.left(), plot.bottom() + 26, plot.width(), 20), Qt::AlignCenter,
                     QStringLiteral("分数段（含下限；最高一段含满分）"));

    if (fullMark > 0 && passMark >= 0 && passMark <= fullMark) {
        const double x = plot.left() + plot.width() * passMark / fullMark;
        painter.setPen(QPen(QColor(200, 0, 0), 2, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top() - 10), QPointF(x, plot.bottom()));
        painter.drawText(QRectF(x + 4, plot.top() - 26, 140, 18), Qt::AlignLeft,
                         QStringLiteral("合格线 %1分").arg(Mark(passMark)));
    }
    return image;
}

CScoreStatistics::CScoreStatistics(const QString& examName, QWidget* parent)
    : QDialog(parent), m_examName(examName) {
    setWindowTitle(QStringLiteral("Vemo—统计分析"));
    setFixedSize(980, 600);
    InstallScreenKeyFilter(this);
    controls::Label(this, QStringLiteral("考试名称：") + examName, QRect(20, 15, 940, 26));

    statistics::ExamFigures figures;
    try {
        figures = statistics::LoadExamFigures(examName);
    } catch (const DatabaseError& error) {
        msgbox::Warn(this, QStringLiteral("读写数据库时出错，本次操作未完成：") +
                               QString::fromUtf8(error.what()));
    }
    const statistics::Summary s =
        statistics::Summarise(figures.scores, figures.enrolled, figures.passMark);
    const bool any = s.sat > 0;
    auto figure = [any](const QString& text) { return any ? text : QStringLiteral("—"); };
    AddFigure(0, QStringLiteral("应考人数"), "enrolled", QString::number(s.enrolled));
    AddFigure(1, QStringLiteral("实考人数"), "sat", QString::number(s.sat));
    AddFigure(2, QStringLiteral("缺考人数"), "absent", QString::number(s.absent));
    AddFigure(3, QStringLiteral("平均分"), "mean", figure(Decimal(s.mean)));
    AddFigure(4, QStringLiteral("中位数"), "median", figure(Mark(s.median)));
    AddFigure(5, QStringLiteral("标准差"), "deviation", figure(Decimal(s.deviation)));
    AddFigure(6, QStringLiteral("最高分"), "highest", figure(Mark(s.highest)));
    AddFigure(7, QStringLiteral("最低分"), "lowest", figure(Mark(s.lowest)));
    AddFigure(8, QStringLiteral("合格率"), "passRate",
              figure(QString::number(s.passRate * 100, 'f', 1) + QLatin1Char('%')));
    AddFigure(9, QStringLiteral("合格分数"), "passMark", Mark(figures.passMark));
    auto* note =
        controls::Label(this,
                        any ? QStringLiteral("合格：成绩高于合格分数；标准差按全体实考考生计算。")
                            : QStringLiteral("此考试没有考生成绩记录！"),
                        QRect(20, 470, 300, 60));
    note->setObjectName(QStringLiteral("note"));
    note->setWordWrap(true);

    m_chart = DrawHistogram(statistics::Histogram(figures.scores, figures.fullMark),
                            figures.fullMark, figures.passMark, kChartSize);
    auto* chart = new QLabel(this);
    chart->setObjectName(QStringLiteral("chart"));
    chart->setAccessibleName(QStringLiteral("成绩分布图"));
    chart->setGeometry(QRect(QPoint(340, 55), kChartSize));
    chart->setFrameShape(QFrame::Box);
    chart->setPixmap(QPixmap::fromImage(m_chart));

    auto* save = controls::Button(this, QStringLiteral("保存图表"), QRect(340, 540, 110, 34),
                                  QStringLiteral("saveChart"));
    auto* items = controls::Button(this, QStringLiteral("试题分析"), QRect(460, 540, 110, 34),
                                   QStringLiteral("itemAnalysis"));
    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(850, 540, 110, 34),
                                  QStringLiteral("back"));
    connect(save, &QPushButton::clicked, this, &CScoreStatistics::SaveChart);
    connect(items, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::ItemAnalysis, m_examName); });
    connect(back, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::CheckScore); });
}

void CScoreStatistics::AddFigure(int row, const QString& caption, const char* objectName,
                                 const QString& value) {
    const QRect at(130, 55 + row * 40, 180, 30);
    auto* shown = controls::Label(this, value, at);
    shown->setObjectName(QString::fromLatin1(objectName));
    shown->setAccessibleName(caption);
    shown->setFrameShape(QFrame::StyledPanel);
    controls::Label(this, caption + QStringLiteral("："), QRect(20, at.y(), 105, 30));
}

void CScoreStatistics::SaveChart() {
    const QString path =
        savefile::AskPath(this, m_examName + QStringLiteral("成绩分布.png"),
                          QStringLiteral("PNG图片(*.png)"), QStringLiteral(".png"));
    if (path.isEmpty()) return;
    if (!m_chart.save(path, "PNG"))
        msgbox::Warn(this, QStringLiteral("无法保存文件“%1”。").arg(path));
}

#include "ui/results/scoremap.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QWheelEvent>

#include "app/desktop.h"
#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/clock.h"
#include "ui/results/sheetdrawing.h"

namespace {

constexpr int kBandHeight = 25;
// The scroll range: the sheet and a small margin below it.
constexpr int kScrollMax = 933;
constexpr int kLineStep = 15;
constexpr int kWheelStep = 100;
// The wheel scrolls only while the window is no taller than the sheet with its band.
constexpr int kWheelHeightLimit = 953;
const QColor kWindowColour(240, 255, 255);
const QColor kBandColour(176, 196, 222);

// Shows the sheet's picture as it is.
class SheetCanvas : public QWidget {
public:
    SheetCanvas(const QImage& sheet, QWidget* parent) : QWidget(parent), m_sheet(sheet) {
        setFixedSize(sheet.size());
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAccessibleName(QStringLiteral("成绩统计表"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, m_sheet);
    }

private:
    const QImage& m_sheet;
};

}  // namespace

CScoreMap::CScoreMap(const ScoreSheet& sheet, QWidget* parent)
    : QDialog(parent), m_sheet(DrawScoreSheet(sheet, clock_seam::Now().date())) {
    setWindowTitle(QStringLiteral("Vemo—成绩统计"));
    setMinimumSize(400, 300);
    resize(scoresheet::kWidth + 20, 760);
    InstallScreenKeyFilter(this);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->setStyleSheet(
        QStringLiteral("QToolBar { background: rgb(176, 196, 222); "
                       "border: none; spacing: 2px; padding: 0px; }"));
    QAction* save = m_toolBar->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton),
                                         QStringLiteral("保存"));
    save->setObjectName(QStringLiteral("save"));
    save->setToolTip(QStringLiteral("保存截图文件"));
    QAction* back =
        m_toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("返回"));
    back->setObjectName(QStringLiteral("back"));
    back->setToolTip(QStringLiteral("返回上一窗口"));
    connect(save, &QAction::triggered, this, &CScoreMap::Save);
    connect(back, &QAction::triggered, this,
            [this] { screens::Go(this, screens::Id::CheckScore); });

    m_viewport = new QWidget(this);
    m_canvas = new SheetCanvas(m_sheet, m_viewport);
    m_canvas->setObjectName(QStringLiteral("sheet"));
    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setObjectName(QStringLiteral("scrollBar"));
    m_scrollBar->setAccessibleName(QStringLiteral("滚动条"));
    m_scrollBar->setSingleStep(kLineStep);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this] { PlaceCanvas(); });
    // Paging moves half a page, as the sheet has always scrolled.
    connect(m_scrollBar, &QScrollBar::actionTriggered, this, [this](int action) {
        const int half = Page() / 2;
        if (action == QAbstractSlider::SliderPageStepAdd)
            m_scrollBar->setSliderPosition(
                qMin(m_scrollBar->value() + half, m_scrollBar->maximum()));
        else if (action == QAbstractSlider::SliderPageStepSub)
            m_scrollBar->setSliderPosition(qMax(m_scrollBar->value() - half, 0));
    });
    m_toolBar->raise();
}

int CScoreMap::Page() const {
    return qMax(0, height() - kBandHeight);
}

void CScoreMap::PlaceCanvas() {
    const int viewWidth = width() - m_scrollBar->width();
    const int x = viewWidth <= scoresheet::kWidth ? 0 : (viewWidth - scoresheet::kWidth) / 2;
    m_canvas->move(x, -m_scrollBar->value());
}

void CScoreMap::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int barWidth = m_scrollBar->sizeHint().width();
    m_toolBar->setGeometry(0, 0, width(), kBandHeight);
    m_scrollBar->setGeometry(width() - barWidth, kBandHeight, barWidth, Page());
    m_viewport->setGeometry(0, kBandHeight, width() - barWidth, Page());
    m_scrollBar->setPageStep(Page());
    m_scrollBar->setRange(0, qMax(0, kScrollMax - Page()));
    PlaceCanvas();
}

void CScoreMap::wheelEvent(QWheelEvent* event) {
    if (height() > kWheelHeightLimit) return;
    const int notches = event->angleDelta().y() / 120;
    m_scrollBar->setValue(
        qBound(0, m_scrollBar->value() - notches * kWheelStep, m_scrollBar->maximum()));
    event->accept();
}

void CScoreMap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kWindowColour);
    painter.fillRect(QRect(0, 0, width(), kBandHeight), kBandColour);
}

void CScoreMap::Save() {
    const QString chosen = desktop::GetSaveFileName(
        this, QStringLiteral("另存为"), QStringLiteral("所有文件(*.*);;图片文件(*.bmp)"));
    if (chosen.isEmpty()) return;
    const QString path = scoresheet::PicturePath(chosen);
    // The file dialog asked about the chosen name; ask again when ".bmp" was added.
    if (path != chosen && QFileInfo::exists(path) &&
        !msgbox::Ask(this,
                     QStringLiteral("%1文件已存在，要替换吗?").arg(QFileInfo(path).fileName())))
        return;
    if (!m_sheet.save(path, "BMP"))
        msgbox::Warn(this, QStringLiteral("无法保存文件“%1”。").arg(path));
}

void CScoreMap::closeEvent(QCloseEvent* event) {
    ExitProgram(this);
    QDialog::closeEvent(event);
}

#pragma once

#include <QDate>
#include <QDialog>
#include <QImage>

#include "rules/scoresheet.h"

class QScrollBar;
class QToolBar;
class QWidget;

// The score sheet of the examinees chosen in the score query, drawn once as a 656 × 928
// picture: shown in a scrolling window and saved as a BMP file by 保存.
class CScoreMap : public QDialog {
    Q_OBJECT
public:
    explicit CScoreMap(const ScoreSheet& sheet, QWidget* parent = nullptr);

    const QImage& Sheet() const { return m_sheet; }
    QWidget* Canvas() const { return m_canvas; }
    QScrollBar* ScrollBar() const { return m_scrollBar; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Save();
    void PlaceCanvas();
    int Page() const;

    QImage m_sheet;
    QToolBar* m_toolBar;
    QWidget* m_viewport;
    QWidget* m_canvas;
    QScrollBar* m_scrollBar;
};

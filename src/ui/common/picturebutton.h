#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A button drawn entirely by its picture. Its caption is painted in the picture, so
// the accessible name carries it for screen readers.
class CPictureButton : public QAbstractButton {
    Q_OBJECT
public:
    CPictureButton(const QString& picture, const QString& accessibleName, QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

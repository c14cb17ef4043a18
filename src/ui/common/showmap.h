#pragma once

#include <QDialog>
#include <QPixmap>
#include <QRect>

// A floating window with one question picture at its natural size. Its close box only
// hides it; the owner destroys it to replace or remove it.
class CShowMap : public QDialog {
    Q_OBJECT
public:
    explicit CShowMap(const QString& picturePath, QWidget* owner = nullptr);

    bool HasPicture() const { return !m_picture.isNull(); }
    QSize PictureSize() const { return m_picture.size(); }

    // Where a picture of the given size goes on the screen: a third of the free room
    // to its left and above it.
    static QPoint Placement(const QSize& screen, const QSize& picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPixmap m_picture;
};

#pragma once

#include <QRect>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The controls the screens place at fixed positions. Object names let tests find them;
// a label's buddy or an explicit accessible name lets assistive tools name them.
namespace controls {

// Enter is swallowed on most screens, so no button acts as the default.
QPushButton* Button(QWidget* parent, const QString& caption, const QRect& at,
                    const QString& objectName);
// With a buddy, the label names it; a list, or a control with another parent, also gets
// the label's text as its accessible name unless it has one.
QLabel* Label(QWidget* parent, const QString& text, const QRect& at, QWidget* buddy = nullptr,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
QLineEdit* Edit(QWidget* parent, const QRect& at, const QString& objectName,
                const QString& accessibleName = QString());
QComboBox* DropDownList(QWidget* parent, const QRect& at, const QString& objectName,
                        const QString& accessibleName = QString());

// Fills a department list from the settings file with none chosen, and refills the
// paired position list from the department's section whenever the choice changes.
void LinkDepartmentToPositions(QComboBox* departments, QComboBox* positions);

}  // namespace controls

#include "ui/common/controls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "data/settings.h"

namespace controls {

QPushButton* Button(QWidget* parent, const QString& caption, const QRect& at,
                    const QString& objectName) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(at);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

QLabel* Label(QWidget* parent, const QString& text, const QRect& at, QWidget* buddy,
              Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(at);
    label->setAlignment(alignment);
    if (!buddy) return label;
    label->setBuddy(buddy);
    // Assistive tools take a buddy's name only from a label beside it, and never for a
    // list: name those controls directly.
    const bool buddyNameReachesTools =
        buddy->parentWidget() == parent && !qobject_cast<QAbstractItemView*>(buddy);
    if (!buddyNameReachesTools && buddy->accessibleName().isEmpty()) {
        QString name = text.simplified();
        while (name.endsWith(QChar(u'：')) || name.endsWith(QChar(u':'))) name.chop(1);
        buddy->setAccessibleName(name);
    }
    return label;
}

QLineEdit* Edit(QWidget* parent, const QRect& at, const QString& objectName,
                const QString& accessibleName) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(at);
    edit->setObjectName(objectName);
    if (!accessibleName.isEmpty()) edit->setAccessibleName(accessibleName);
    return edit;
}

QComboBox* DropDownList(QWidget* parent, const QRect& at, const QString& objectName,
                        const QString& accessibleName) {
    auto* list = new QComboBox(parent);
    list->setGeometry(at);
    list->setObjectName(objectName);
    if (!accessibleName.isEmpty()) list->setAccessibleName(accessibleName);
    return list;
}

void LinkDepartmentToPositions(QComboBox* departments, QComboBox* positions) {
    departments->clear();
    departments->addItems(settings::DepartmentNames());
    departments->setCurrentIndex(-1);
    positions->clear();
    QObject::connect(departments, &QComboBox::currentIndexChanged, positions,
                     [positions](int index) {
                         positions->clear();
                         positions->addItems(settings::PositionsOf(index));
                         positions->setCurrentIndex(-1);
                     });
}

}  // namespace controls

#include "ui/settings/addaltnode.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/messagebox.h"
#include "rules/names.h"
#include "ui/common/controls.h"

CAddAltNode::CAddAltNode(const QString& mode, const QString& currentName, QWidget* parent)
    : QDialog(parent) {
    const bool renaming = mode == QStringLiteral("alt");
    setWindowTitle(QStringLiteral("Vemo—添加或修改节点"));
    setFixedSize(340, 210);

    auto* title =
        controls::Label(this, renaming ? QStringLiteral("修改节点") : QStringLiteral("添加节点"),
                        QRect(20, 14, 300, 28), nullptr, Qt::AlignCenter);
    QFont bigger = title->font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.3);
    bigger.setBold(true);
    title->setFont(bigger);

    if (renaming) {
        auto* current = controls::Edit(this, QRect(110, 58, 200, 28), "currentName");
        current->setReadOnly(true);
        current->setText(currentName);
        controls::Label(this, QStringLiteral("节点名："), QRect(30, 58, 78, 28), current);
    }
    m_name = controls::Edit(this, QRect(110, 100, 200, 28), "name");
    controls::Label(this, renaming ? QStringLiteral("修改为：") : QStringLiteral("节点名："),
                    QRect(30, 100, 78, 28), m_name);

    auto* save = controls::Button(this, QStringLiteral("保存"), QRect(60, 155, 90, 32), "save");
    auto* cancel =
        controls::Button(this, QStringLiteral("取消"), QRect(190, 155, 90, 32), "cancel");
    connect(save, &QPushButton::clicked, this, &CAddAltNode::Save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_name, &QLineEdit::returnPressed, this, &QDialog::reject);
    m_name->setFocus();
}

QString CAddAltNode::Name() const {
    return m_name->text();
}

void CAddAltNode::Save() {
    const QString refusal = names::Refusal(m_name->text(), names::Kind::OrganisationNode);
    if (!refusal.isEmpty()) {
        msgbox::Prompt(this, refusal);
        return;
    }
    accept();
}

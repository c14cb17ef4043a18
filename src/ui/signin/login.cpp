#include "ui/signin/login.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "app/keyfilter.h"
#include "app/screenflow.h"
#include "ui/common/decor.h"
#include "ui/common/picturebutton.h"

CLogin::CLogin(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vemo—登录Login"));
    setFixedSize(800, 600);
    InstallScreenKeyFilter(this);

    // The group headings and the field labels are painted on the background picture;
    // the edits carry them as accessible names.
    m_managerUser = AddEdit(QRect(160, 178, 190, 24), QStringLiteral("考试管理员登录 用户名"),
                            QStringLiteral("managerUser"));
    m_managerPassword = AddEdit(QRect(160, 214, 190, 24), QStringLiteral("考试管理员登录 密码"),
                                QStringLiteral("managerPassword"));
    m_adminUser = AddEdit(QRect(520, 178, 190, 24), QStringLiteral("系统管理员登录 用户名"),
                          QStringLiteral("adminUser"));
    m_adminPassword = AddEdit(QRect(520, 214, 190, 24), QStringLiteral("系统管理员登录 密码"),
                              QStringLiteral("adminPassword"));

    AddButton(QStringLiteral(":/images/button_login.png"), QStringLiteral("考试管理员登录"),
              QPoint(165, 245), QStringLiteral("managerSignIn"));
    AddButton(QStringLiteral(":/images/button_login.png"), QStringLiteral("系统管理员登录"),
              QPoint(525, 245), QStringLiteral("adminSignIn"));
    AddButton(QStringLiteral(":/images/button_exam.png"), QStringLiteral("我要考试"),
              QPoint(540, 440), QStringLiteral("examineeEntry"));
    auto* exit = AddButton(QStringLiteral(":/images/button_exit.png"), QStringLiteral("退出"),
                           QPoint(680, 530), QStringLiteral("exit"));
    connect(exit, &QAbstractButton::clicked, this, [this] { ExitProgram(this); });

    // 1206: a button the screen never shows and that does nothing.
    auto* hidden = new QPushButton(QStringLiteral("Button1"), this);
    hidden->setObjectName(QStringLiteral("hiddenButton"));
    hidden->hide();
}

QLineEdit* CLogin::AddEdit(const QRect& geometry, const QString& accessibleName,
                           const QString& objectName) {
    auto* edit = new QLineEdit(this);
    edit->setGeometry(geometry);
    edit->setAccessibleName(accessibleName);
    edit->setObjectName(objectName);
    return edit;
}

CPictureButton* CLogin::AddButton(const QString& picture, const QString& name, const QPoint& at,
                                  const QString& objectName) {
    auto* button = new CPictureButton(picture, name, this);
    button->move(at);
    button->setObjectName(objectName);
    return button;
}

void CLogin::paintEvent(QPaintEvent*) {
    static const QPixmap background(QStringLiteral(":/images/signin_background.png"));
    QPainter painter(this);
    painter.drawTiledPixmap(QRect(0, 0, 800, 600), background);
    decor::PaintEmblem(painter, QPoint(380, 420));
    decor::PaintCalligraphy(painter, QPoint(35, 285));
}

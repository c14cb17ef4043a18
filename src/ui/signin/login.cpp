#include "ui/signin/login.h"

#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/clock.h"
#include "data/dberror.h"
#include "rules/signin.h"
#include "ui/common/decor.h"
#include "ui/common/guarded.h"
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
    // The room is full of onlookers: passwords show as dots.
    m_managerPassword->setEchoMode(QLineEdit::Password);
    m_adminPassword->setEchoMode(QLineEdit::Password);

    auto* managerSignIn =
        AddButton(QStringLiteral(":/images/button_login.png"), QStringLiteral("考试管理员登录"),
                  QPoint(165, 245), QStringLiteral("managerSignIn"));
    auto* adminSignIn =
        AddButton(QStringLiteral(":/images/button_login.png"), QStringLiteral("系统管理员登录"),
                  QPoint(525, 245), QStringLiteral("adminSignIn"));
    auto* examineeEntry =
        AddButton(QStringLiteral(":/images/button_exam.png"), QStringLiteral("我要考试"),
                  QPoint(540, 440), QStringLiteral("examineeEntry"));
    auto* exit = AddButton(QStringLiteral(":/images/button_exit.png"), QStringLiteral("退出"),
                           QPoint(680, 530), QStringLiteral("exit"));
    // Tab goes through each administrator's column in turn, then to the examinee's entry.
    QWidget* const order[] = {m_managerUser,   m_managerPassword, managerSignIn, m_adminUser,
                              m_adminPassword, adminSignIn,       examineeEntry, exit};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    connect(exit, &QAbstractButton::clicked, this, [this] { ExitProgram(this); });
    connect(adminSignIn, &QAbstractButton::clicked, this, [this] {
        SignIn(codes::Account::SystemAdmin, m_adminUser, m_adminPassword, screens::Id::Admin);
    });
    connect(managerSignIn, &QAbstractButton::clicked, this, [this] {
        SignIn(codes::Account::ExamAdmin, m_managerUser, m_managerPassword,
               screens::Id::ExamManager);
    });
    connect(examineeEntry, &QAbstractButton::clicked, this, &CLogin::ExamineeEntry);

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

void CLogin::SignIn(codes::Account account, QLineEdit* user, QLineEdit* password,
                    screens::Id target) {
    if (user->text().isEmpty() || password->text().isEmpty()) {
        msgbox::AppMessage(this, QStringLiteral("用户名或密码不能为空！"));
        return;
    }
    signin::PasswordVerdict verdict;
    try {
        verdict = signin::CheckSignIn(account, user->text(), password->text());
    } catch (const DatabaseError& e) {
        msgbox::Prompt(this, FailureMessage(e, QStringLiteral("登录失败！")));
        return;
    }
    switch (verdict) {
        case signin::PasswordVerdict::Accepted: {
            const QString warning = signin::ExposureWarning(QDir::currentPath());
            if (!warning.isEmpty())
                msgbox::Show(this, warning, QStringLiteral("Vemo警告"), MsgIcon::Warning,
                             MsgButtons::Ok);
            screens::Go(this, target);
            break;
        }
        case signin::PasswordVerdict::TooFewRows:
            msgbox::AppMessage(this, QStringLiteral("保存的密码数据已损坏！"));
            break;
        case signin::PasswordVerdict::DigestsDamaged:
            msgbox::Prompt(this, QStringLiteral("保存的密码数据已损坏！"));
            break;
        case signin::PasswordVerdict::Refused:
            msgbox::Prompt(this, QStringLiteral("用户名或密码不正确!"));
            break;
    }
}

void CLogin::ExamineeEntry() {
    signin::EntryVerdict verdict;
    try {
        verdict = signin::CheckExamineeEntry(clock_seam::Now());
    } catch (const DatabaseError& e) {
        msgbox::Warn(this, QStringLiteral("读取考试信息失败：") + QString::fromUtf8(e.what()));
        return;
    }
    switch (verdict) {
        case signin::EntryVerdict::NoExams:
            msgbox::Warn(this, QStringLiteral("考试信息为空,无法进行考试！"));
            return;
        case signin::EntryVerdict::ExamTampered:
            msgbox::Warn(this, QStringLiteral("考试信息已被篡改,无法进行考试！"));
            ExitProgram(this);
            return;
        case signin::EntryVerdict::DatabaseTampered:
            msgbox::Warn(this, QStringLiteral("数据库已被篡改,无法进行考试！"));
            ExitProgram(this);
            return;
        case signin::EntryVerdict::Proceed:
            screens::Go(this, screens::Id::ExamLogin);
            return;
    }
}

#include "ui/signin/admin.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "app/datafolder.h"
#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/dberror.h"
#include "rules/signin.h"
#include "ui/common/controls.h"
#include "ui/common/decor.h"
#include "ui/common/guarded.h"

CAdmin::CAdmin(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vemo—系统管理员管理"));
    setFixedSize(800, 600);
    InstallScreenKeyFilter(this);

    m_system.account = codes::Account::SystemAdmin;
    m_exam.account = codes::Account::ExamAdmin;
    AddAccountGroup(QStringLiteral("系统管理员密码修改"), QRect(40, 340, 350, 170), m_system,
                    QStringLiteral("system"));
    AddAccountGroup(QStringLiteral("考试管理员密码修改"), QRect(410, 340, 350, 170), m_exam,
                    QStringLiteral("exam"));

    // The screens of the question bank, papers, exams and settings open from here.
    struct Hub {
        const char* caption;
        const char* objectName;
        screens::Id screen;
    };
    const Hub hubs[] = {{"题库管理", "questionBank", screens::Id::ExamPaper},
                        {"试卷管理", "paperManagement", screens::Id::TestManage},
                        {"考试管理", "examManagement", screens::Id::ExamManagement},
                        {"岗位设置", "settings", screens::Id::VariouSet}};
    for (int i = 0; i < 4; ++i) {
        auto* button = controls::Button(this, QString::fromUtf8(hubs[i].caption),
                                        QRect(40, 50 + i * 60, 150, 40),
                                        QString::fromLatin1(hubs[i].objectName));
        const screens::Id screen = hubs[i].screen;
        connect(button, &QPushButton::clicked, this, [this, screen] { screens::Go(this, screen); });
    }

    // The data folder in use, and the way to another one.
    auto* folder = controls::Label(
        this,
        QStringLiteral("数据文件夹：%1").arg(QDir::toNativeSeparators(datafolder::InUse())) +
            (datafolder::ServerInUse().isEmpty() ? QString()
                                                 : QStringLiteral("（数据在PostgreSQL服务器上）")),
        QRect(40, 515, 720, 22));
    folder->setObjectName(QStringLiteral("dataFolder"));
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* change = controls::Button(this, QStringLiteral("更换数据文件夹"), QRect(40, 540, 150, 32),
                                    "changeDataFolder");
    connect(change, &QPushButton::clicked, this,
            [this] { screens::Go(this, screens::Id::DataFolder); });

    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(560, 540, 90, 32), "back");
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(670, 540, 90, 32), "exit");
    connect(back, &QPushButton::clicked, this, [this] { screens::Go(this, screens::Id::Login); });
    connect(exit, &QPushButton::clicked, this, [this] { ExitProgram(this); });
}

QGroupBox* CAdmin::AddAccountGroup(const QString& title, const QRect& geometry,
                                   AccountFields& fields, const QString& objectPrefix) {
    auto* group = new QGroupBox(title, this);
    group->setGeometry(geometry);
    auto* grid = new QGridLayout(group);
    auto addField = [&](int row, const QString& label, const QString& name) {
        auto* caption = new QLabel(label, group);
        auto* edit = new QLineEdit(group);
        edit->setObjectName(objectPrefix + name);
        edit->setEchoMode(QLineEdit::Password);
        caption->setBuddy(edit);
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1);
        return edit;
    };
    fields.oldPassword = addField(0, QStringLiteral("原密码"), "OldPassword");
    fields.newPassword = addField(1, QStringLiteral("新密码"), "NewPassword");
    auto* buttons = new QHBoxLayout;
    auto* change = new QPushButton(QStringLiteral("确认修改"), group);
    change->setObjectName(objectPrefix + "Change");
    auto* restore = new QPushButton(QStringLiteral("改回初始密码"), group);
    restore->setObjectName(objectPrefix + "Restore");
    buttons->addWidget(change);
    buttons->addWidget(restore);
    grid->addLayout(buttons, 2, 0, 1, 2);

    const AccountFields* account = &fields;
    connect(change, &QPushButton::clicked, this, [this, account] { ChangePassword(*account); });
    connect(restore, &QPushButton::clicked, this, [this, account] { RestorePassword(*account); });
    return group;
}

void CAdmin::ChangePassword(const AccountFields& fields) {
    const QString oldPassword = fields.oldPassword->text();
    const QString newPassword = fields.newPassword->text();
    if (oldPassword.isEmpty() || newPassword.isEmpty()) {
        msgbox::Prompt(this, QStringLiteral("密码不能为空！"));
        return;
    }
    try {
        if (!signin::IsCurrentPassword(fields.account, oldPassword)) {
            msgbox::Prompt(this, QStringLiteral("原密码输入错误！"));
            return;
        }
        const bool confirmed =
            fields.account == codes::Account::SystemAdmin
                ? msgbox::Ask(this, QStringLiteral("您确定要修改系统管理密码？"),
                              QStringLiteral("提醒"))
                : msgbox::Ask(this, QStringLiteral("您确定要修改考试管理密码？"));
        if (!confirmed) return;
        signin::StorePassword(fields.account, newPassword);
    } catch (const DatabaseError& e) {
        msgbox::Prompt(this, FailureMessage(e, QStringLiteral("修改失败！")));
        return;
    }
    msgbox::Prompt(this, QStringLiteral("修改成功"));
}

void CAdmin::RestorePassword(const AccountFields& fields) {
    if (!msgbox::Ask(this, QStringLiteral("您确定要恢复到初始密码？"))) return;
    try {
        signin::StorePassword(fields.account, codes::InitialPassword(fields.account));
    } catch (const DatabaseError& e) {
        msgbox::Prompt(this, FailureMessage(e, QStringLiteral("恢复失败！")));
        return;
    }
    msgbox::Prompt(this, QStringLiteral("恢复成功"));
}

void CAdmin::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    decor::PaintEmblem(painter, QPoint(550, 220));
    decor::PaintCalligraphy(painter, QPoint(230, 40));
}

#include "ui/signin/choosedatafolder.h"

#include <QButtonGroup>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "app/datafolder.h"
#include "app/desktop.h"
#include "app/messagebox.h"
#include "app/screenflow.h"
#include "app/screens.h"
#include "data/clock.h"
#include "sitedata.h"
#include "ui/common/controls.h"
#include "ui/common/decor.h"

CChooseDataFolder::CChooseDataFolder(const QString& proposedFolder, QWidget* parent)
    : QDialog(parent), m_choices(new QButtonGroup(this)) {
    setWindowTitle(QStringLiteral("Vemo—选择数据文件夹"));
    setFixedSize(800, 600);

    auto* heading =
        controls::Label(this, QStringLiteral("请选择Vemo的数据文件夹"), QRect(160, 40, 380, 32));
    QFont bigger = heading->font();
    bigger.setPointSize(bigger.pointSize() + 5);
    bigger.setBold(true);
    heading->setFont(bigger);
    auto* intro = controls::Label(
        this,
        QStringLiteral("数据文件夹存放考试数据、设置、试题图片和模板。所选的文件夹会被记住，"
                       "下次启动时直接进入登录界面。"),
        QRect(160, 76, 380, 48));
    intro->setWordWrap(true);

    struct Offer {
        datafolder::Choice choice;
        const char* caption;
        const char* detail;
        const char* objectName;
    };
    const Offer offers[] = {
        {datafolder::Choice::SampleFolder, "新建带示例数据的文件夹",
         "示例考生、试题、试卷和一场正在进行的示例考试，适合试用。", "sampleFolder"},
        {datafolder::Choice::EmptySiteFolder, "新建空的单位数据文件夹",
         "没有示例考生、考试和试题，只有两个管理员的初始密码（请立即修改）。", "emptySiteFolder"},
        {datafolder::Choice::ExistingFolder, "使用已有的数据文件夹",
         "选择已存放personnel.mdb和questions.mdb的文件夹，例如别的电脑上复制来的。",
         "existingFolder"},
        {datafolder::Choice::Server, "使用PostgreSQL服务器",
         "在服务器上建立考试数据（没有示例数据），本机的数据文件夹只记下服务器。", "server"},
    };
    int y = 150;
    for (const Offer& offer : offers) {
        auto* radio = new QRadioButton(QString::fromUtf8(offer.caption), this);
        radio->setObjectName(QString::fromLatin1(offer.objectName));
        radio->setGeometry(60, y, 600, 26);
        m_choices->addButton(radio, static_cast<int>(offer.choice));
        auto* detail =
            controls::Label(this, QString::fromUtf8(offer.detail), QRect(84, y + 26, 680, 22));
        detail->setStyleSheet(QStringLiteral("color: #555;"));
        y += 62;
    }
    m_choices->button(static_cast<int>(datafolder::Choice::SampleFolder))->setChecked(true);

    const QString folder =
        proposedFolder.isEmpty() ? datafolder::DefaultNewFolder() : proposedFolder;
    m_folder = controls::Edit(this, QRect(160, 412, 470, 28), "folder");
    m_folder->setText(QDir::toNativeSeparators(folder));
    controls::Label(this, QStringLiteral("数据文件夹"), QRect(60, 412, 96, 28), m_folder);
    auto* browse =
        controls::Button(this, QStringLiteral("浏览…"), QRect(640, 412, 100, 28), "browse");
    m_server = controls::Edit(this, QRect(160, 452, 580, 28), "serverUrl");
    m_server->setPlaceholderText(QStringLiteral("postgresql://vemo@examhost/vemo"));
    m_server->setEnabled(false);
    controls::Label(this, QStringLiteral("服务器地址"), QRect(60, 452, 96, 28), m_server);
    connect(m_choices, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (id == static_cast<int>(datafolder::Choice::Server)) m_server->setEnabled(checked);
    });

    auto* accept =
        controls::Button(this, QStringLiteral("确定"), QRect(450, 540, 90, 32), "accept");
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(670, 540, 90, 32), "exit");
    connect(browse, &QPushButton::clicked, this, &CChooseDataFolder::Browse);
    connect(accept, &QPushButton::clicked, this, &CChooseDataFolder::Accept);
    connect(exit, &QPushButton::clicked, this, [this] { ExitProgram(this); });
    // Opened from the system administrator's screen, the folder in use stays on 返回.
    if (!HoldsSiteData(datafolder::InUse())) return;
    auto* back = controls::Button(this, QStringLiteral("返回"), QRect(560, 540, 90, 32), "back");
    connect(back, &QPushButton::clicked, this, [this] { screens::Go(this, screens::Id::Admin); });
}

void CChooseDataFolder::Browse() {
    const QString folder = desktop::GetExistingDirectory(this, QStringLiteral("选择数据文件夹"),
                                                         datafolder::Absolute(m_folder->text()));
    if (!folder.isEmpty()) m_folder->setText(QDir::toNativeSeparators(folder));
}

void CChooseDataFolder::Accept() {
    const auto choice = static_cast<datafolder::Choice>(m_choices->checkedId());
    const datafolder::Outcome outcome =
        datafolder::Choose(choice, m_folder->text(), m_server->text(), clock_seam::Now());
    if (!outcome.message.isEmpty()) msgbox::Prompt(this, outcome.message);
    if (outcome.entered) screens::Go(this, screens::Id::Login);
}

void CChooseDataFolder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    decor::PaintEmblem(painter, QPoint(40, 30));
    decor::PaintCalligraphy(painter, QRect(560, 10, 200, 133));
}

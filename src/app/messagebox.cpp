#include "app/messagebox.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace msgbox {
namespace {

// A box of a short text is so narrow that the window manager clips its title and the
// text reads cramped.
constexpr int kMinimumBoxWidth = 320;

void KeepWideEnoughForItsTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    grid->addItem(new QSpacerItem(kMinimumBoxWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

QString PromptTitle() {
    return QStringLiteral("Vemo提示");
}
QString RemindTitle() {
    return QStringLiteral("Vemo提醒");
}
QString WarnTitle() {
    return QStringLiteral("Vemo警告");
}

QString AppTitle() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

MsgAnswer Show(QWidget* parent, const QString& text, const QString& title, MsgIcon icon,
               MsgButtons buttons) {
    if (seams::Recorder* test = seams::Active()) {
        test->messages.append({text, title, icon, buttons});
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        if (test->answers.empty()) {
            ++test->unanswered;
            return MsgAnswer::No;
        }
        const MsgAnswer answer = test->answers.front();
        test->answers.pop_front();
        return answer;
    }
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
        case MsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MsgIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MsgIcon::None:
            break;
    }
    KeepWideEnoughForItsTitle(box);
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgAnswer::Ok;
}

void Prompt(QWidget* parent, const QString& text, const QString& title) {
    Show(parent, text, title, MsgIcon::Information, MsgButtons::Ok);
}

void Warn(QWidget* parent, const QString& text) {
    Show(parent, text, WarnTitle(), MsgIcon::Warning, MsgButtons::Ok);
}

bool Ask(QWidget* parent, const QString& text, const QString& title) {
    return Show(parent, text, title, MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
}

void AppMessage(QWidget* parent, const QString& text) {
    Show(parent, text, AppTitle(), MsgIcon::Information, MsgButtons::Ok);
}

}  // namespace msgbox

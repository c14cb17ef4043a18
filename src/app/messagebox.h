#pragma once

#include <QString>

#include "app/testseams.h"

class QWidget;

// Message boxes with the program's three titles.
namespace msgbox {

QString PromptTitle();  // "Vemo提示": information, validation, results
QString RemindTitle();  // "Vemo提醒": confirmations and reminders
QString WarnTitle();    // "Vemo警告": warnings before the program stops or refuses
// The application-titled box: the program file's base name.
QString AppTitle();

MsgAnswer Show(QWidget* parent, const QString& text, const QString& title, MsgIcon icon,
               MsgButtons buttons);

// "Vemo提示" with an OK button; other titles where a screen names one.
void Prompt(QWidget* parent, const QString& text, const QString& title = PromptTitle());
// "Vemo警告" with the warning icon.
void Warn(QWidget* parent, const QString& text);
// Yes/No with the question icon; true for Yes.
bool Ask(QWidget* parent, const QString& text, const QString& title = RemindTitle());
// The application-titled box, OK button.
void AppMessage(QWidget* parent, const QString& text);

}  // namespace msgbox

#pragma once

#include <QString>

// Emptying the bank table of one question type together with its picture files.
namespace bank_clearing {

struct Outcome {
    bool wasEmpty = false;  // nothing to clear
    bool cleared = false;
    int picturesDeleted = 0;
    QString error;  // why nothing was cleared
};

// Deletes every question of the type in one transaction and, once that is stored, the
// picture files its questions named (missing files are ignored). Also when the bank was
// empty already, removes every picture file of the bank whose question no longer exists.
Outcome ClearBank(const QString& type);

QString EmptyMessage(const QString& type);    // "单选题题库已为空"
QString ClearedMessage(const QString& type);  // "单选题题库已清空"

}  // namespace bank_clearing

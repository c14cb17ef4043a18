#include "rules/importworkbook.h"

#include <QFileInfo>

namespace import_workbook {

bool IsAcceptedName(const QString& path, const QString& baseName) {
    const QString name = QFileInfo(path).fileName();
    return name == baseName + QStringLiteral(".xls") || name == baseName + QStringLiteral(".xlsx");
}

QString FileDialogFilter() {
    return QStringLiteral("所有文件(*.*);;Excel(*.xls *.xlsx)");
}

QString OutcomeMessage(const Outcome& outcome) {
    return QStringLiteral("导入数据%1条，已删除%2条重复数据！")
        .arg(outcome.read)
        .arg(outcome.removed);
}

}  // namespace import_workbook

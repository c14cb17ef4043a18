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

}  // namespace import_workbook

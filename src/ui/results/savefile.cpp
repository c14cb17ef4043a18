#include "ui/results/savefile.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableView>

#include "app/desktop.h"
#include "app/messagebox.h"
#include "data/xlsxwriter.h"

namespace savefile {

QString AskPath(QWidget* parent, const QString& defaultName, const QString& filter,
                const QString& suffix) {
    QString name = defaultName;
    for (QChar& c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c < QChar(0x20)) c = QLatin1Char('_');
    const QString chosen = desktop::GetSaveFileName(
        parent, QStringLiteral("另存为"), filter, QDir(desktop::DocumentsFolder()).filePath(name));
    if (chosen.isEmpty() || chosen.endsWith(suffix, Qt::CaseInsensitive)) return chosen;
    // The file dialog asked about the chosen name; ask again when the suffix was added.
    const QString path = chosen + suffix;
    if (QFileInfo::exists(path) &&
        !msgbox::Ask(parent,
                     QStringLiteral("%1文件已存在，要替换吗?").arg(QFileInfo(path).fileName())))
        return QString();
    return path;
}

void SaveListAsWorkbook(QWidget* parent, const QTableView* list, int firstColumn,
                        const QSet<int>& numberColumns, const QString& sheetName,
                        const QString& defaultName) {
    const QAbstractItemModel* model = list->model();
    if (model->rowCount() == 0) {
        msgbox::Prompt(parent, QStringLiteral("考生信息不能为空！"));
        return;
    }
    const QString path = AskPath(parent, defaultName, QStringLiteral("Excel工作簿(*.xlsx)"),
                                 QStringLiteral(".xlsx"));
    if (path.isEmpty()) return;
    QList<int> columns;
    QStringList header;
    for (int column = firstColumn; column < model->columnCount(); ++column) {
        if (list->isColumnHidden(column)) continue;
        columns << column;
        header << model->headerData(column, Qt::Horizontal).toString();
    }
    QList<xlsxwriter::Row> rows;
    rows.reserve(model->rowCount());
    const QHeaderView* order = list->verticalHeader();
    for (int shown = 0; shown < model->rowCount(); ++shown) {
        const int row = order->logicalIndex(shown);
        xlsxwriter::Row cells;
        for (int column : columns)
            cells.append(
                {model->index(row, column).data().toString(), numberColumns.contains(column)});
        rows.append(cells);
    }
    QString error;
    if (xlsxwriter::WriteSheet(path, sheetName, header, rows, &error))
        msgbox::Prompt(parent,
                       QStringLiteral("已导出到“%1”。").arg(QDir::toNativeSeparators(path)));
    else
        msgbox::Warn(parent, QStringLiteral("无法保存文件“%1”。").arg(path));
}

}  // namespace savefile

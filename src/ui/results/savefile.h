#pragma once

#include <QSet>
#include <QString>

class QTableView;
class QWidget;

// Saving what a results screen shows: the save dialog and the .xlsx of a list.
namespace savefile {

// Asks where to save, offering `defaultName` in the documents folder. The chosen path
// gains `suffix` (".xlsx") when it lacks it, asking before a file of that name is
// replaced; empty when the user cancels.
QString AskPath(QWidget* parent, const QString& defaultName, const QString& filter,
                const QString& suffix);

// Writes the list as shown, from column `firstColumn` on, hidden columns left out, rows
// in the order shown, the columns of `numberColumns` as numbers, to a path the user
// chooses; tells the user how it went.
void SaveListAsWorkbook(QWidget* parent, const QTableView* list, int firstColumn,
                        const QSet<int>& numberColumns, const QString& sheetName,
                        const QString& defaultName);

}  // namespace savefile

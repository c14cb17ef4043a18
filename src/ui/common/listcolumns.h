#pragma once

class QTableWidget;

// Lists whose texts vary in length and whose rows no rule keeps in order.
namespace listcolumns {

// Widens each shown column to its longest text, its heading included, never below the
// width it was first given nor above `widest`; hidden columns stay hidden.
void FitToTexts(QTableWidget* list, int widest = 640);

// A click on a heading sorts the rows by that column, a second click the other way:
// numbers by value, other texts as the locale orders them.
void SortOnHeadingClick(QTableWidget* list);

}  // namespace listcolumns

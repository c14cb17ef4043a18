#pragma once

#include <QStringList>
#include <QTableView>
#include <vector>

class CheckTableModel;

// A tick-box list for long result lists: like CCheckList, but the rows are plain texts
// in a model, and the view lays out and paints only the rows in sight, so a list of a
// hundred thousand rows fills at once. The first column is the tick box.
class CCheckTable : public QTableView {
    Q_OBJECT
public:
    CCheckTable(const QStringList& headings, const QList<int>& widths, QWidget* parent = nullptr);

    // Appends rows: each an unticked tick box, then the texts from column 1 on.
    void AppendRows(const QList<QStringList>& rows);
    void Clear();
    int rowCount() const;

    bool IsTicked(int row) const;
    void SetTicked(int row, bool ticked);
    void SetAllTicked(bool ticked);
    QList<int> TickedRows() const;
    // The text of a cell, column 0 being the tick box.
    QString Text(int row, int column) const;

private:
    CheckTableModel* m_model;
};

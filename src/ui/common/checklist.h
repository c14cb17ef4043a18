#pragma once

#include <QList>
#include <QStringList>
#include <QTableWidget>

// A list whose first column is a tick box, as the administrator's and the examinee's
// list screens use it: headings and widths set once (a width of 0 hides a column that
// only carries data), rows appended as texts, ticks read back by row. In single-tick
// mode ticking a row unticks every other one.
class CCheckList : public QTableWidget {
    Q_OBJECT
public:
    enum class Ticks { Many, AtMostOne };

    CCheckList(const QStringList& headings, const QList<int>& widths, Ticks ticks,
               QWidget* parent = nullptr);

    // Appends a row: the tick box, unticked, then the texts from column 1 on, centred.
    void AppendRow(const QStringList& texts);
    // The same for many rows at once, laid out once (long result lists).
    void AppendRows(const QList<QStringList>& rows);
    void Clear();

    bool IsTicked(int row) const;
    void SetTicked(int row, bool ticked);
    void SetAllTicked(bool ticked);
    QList<int> TickedRows() const;
    // The text of a cell, column 0 being the tick box.
    QString Text(int row, int column) const;

signals:
    // The user, or SetTicked, changed the tick of a row (not emitted for the rows that
    // single-tick mode unticks on the way).
    void TickChanged(int row, bool ticked);

private:
    void OnItemChanged(QTableWidgetItem* item);

    Ticks m_ticks;
    bool m_settingTicks = false;
};

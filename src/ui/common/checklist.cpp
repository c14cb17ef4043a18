#include "ui/common/checklist.h"

#include <QHeaderView>

#include "ui/common/centredcells.h"

CCheckList::CCheckList(const QStringList& headings, const QList<int>& widths, Ticks ticks,
                       QWidget* parent)
    : QTableWidget(parent), m_ticks(ticks) {
    setColumnCount(headings.size());
    setHorizontalHeaderLabels(headings);
    verticalHeader()->hide();
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new CentredCells(this));
    for (int column = 0; column < headings.size(); ++column) {
        horizontalHeaderItem(column)->setTextAlignment(Qt::AlignCenter);
        const int width = column < widths.size() ? widths[column] : 0;
        if (width == 0)
            hideColumn(column);
        else
            setColumnWidth(column, width);
    }
    connect(this, &QTableWidget::itemChanged, this, &CCheckList::OnItemChanged);
}

void CCheckList::AppendRow(const QStringList& texts) {
    AppendRows({texts});
}

void CCheckList::AppendRows(const QList<QStringList>& rows) {
    m_settingTicks = true;
    const int first = rowCount();
    setRowCount(first + int(rows.size()));
    // The view learnt of the new rows above; it reads their cells when it paints, so the
    // per-cell change signals would only cost time.
    const bool wasBlocked = model()->blockSignals(true);
    for (int r = 0; r < rows.size(); ++r) {
        const int row = first + r;
        auto* tick = new QTableWidgetItem();
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        tick->setCheckState(Qt::Unchecked);
        setItem(row, 0, tick);
        const QStringList& texts = rows[r];
        for (int i = 0; i < texts.size() && i + 1 < columnCount(); ++i) {
            auto* cell = new QTableWidgetItem(texts[i]);
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            setItem(row, i + 1, cell);
        }
    }
    model()->blockSignals(wasBlocked);
    viewport()->update();
    m_settingTicks = false;
}

void CCheckList::Clear() {
    setRowCount(0);
}

bool CCheckList::IsTicked(int row) const {
    const QTableWidgetItem* tick = item(row, 0);
    return tick && tick->checkState() == Qt::Checked;
}

void CCheckList::SetTicked(int row, bool ticked) {
    if (QTableWidgetItem* tick = item(row, 0))
        tick->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void CCheckList::SetAllTicked(bool ticked) {
    for (int row = 0; row < rowCount(); ++row) SetTicked(row, ticked);
}

QList<int> CCheckList::TickedRows() const {
    QList<int> rows;
    for (int row = 0; row < rowCount(); ++row)
        if (IsTicked(row)) rows << row;
    return rows;
}

QString CCheckList::Text(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void CCheckList::OnItemChanged(QTableWidgetItem* changed) {
    if (m_settingTicks || changed->column() != 0) return;
    const bool ticked = changed->checkState() == Qt::Checked;
    if (ticked && m_ticks == Ticks::AtMostOne) {
        m_settingTicks = true;
        for (int row = 0; row < rowCount(); ++row)
            if (row != changed->row()) item(row, 0)->setCheckState(Qt::Unchecked);
        m_settingTicks = false;
    }
    emit TickChanged(changed->row(), ticked);
}

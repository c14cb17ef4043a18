#include "ui/common/checktable.h"

#include <QAbstractTableModel>
#include <QHeaderView>

#include "ui/common/centredcells.h"

class CheckTableModel : public QAbstractTableModel {
public:
    CheckTableModel(const QStringList& headings, QObject* parent)
        : QAbstractTableModel(parent), m_headings(headings) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_headings.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const size_t row = size_t(index.row());
        if (index.column() == 0)
            return role == Qt::CheckStateRole ? QVariant(m_ticks[row] ? Qt::Checked : Qt::Unchecked)
                                              : QVariant();
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return m_rows[row].value(index.column() - 1);
        return QVariant();
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (index.column() != 0 || role != Qt::CheckStateRole) return false;
        m_ticks[size_t(index.row())] = value.toInt() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (index.column() == 0) return Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return m_headings.value(section);
        if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return QVariant();
    }

    void Append(const QList<QStringList>& rows) {
        if (rows.isEmpty()) return;
        const int first = int(m_rows.size());
        beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
        m_rows.insert(m_rows.end(), rows.begin(), rows.end());
        m_ticks.resize(m_rows.size(), false);
        endInsertRows();
    }
    void Clear() {
        beginResetModel();
        m_rows.clear();
        m_ticks.clear();
        endResetModel();
    }
    void SetAllTicked(bool ticked) {
        if (m_rows.empty()) return;
        std::fill(m_ticks.begin(), m_ticks.end(), ticked);
        emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, 0), {Qt::CheckStateRole});
    }
    bool IsTicked(int row) const {
        return row >= 0 && size_t(row) < m_ticks.size() && m_ticks[size_t(row)];
    }
    QString Text(int row, int column) const {
        if (row < 0 || size_t(row) >= m_rows.size() || column < 1) return QString();
        return m_rows[size_t(row)].value(column - 1);
    }

private:
    QStringList m_headings;
    std::vector<QStringList> m_rows;
    std::vector<bool> m_ticks;
};

CCheckTable::CCheckTable(const QStringList& headings, const QList<int>& widths, QWidget* parent)
    : QTableView(parent), m_model(new CheckTableModel(headings, this)) {
    setModel(m_model);
    verticalHeader()->hide();
    // Rows of one height: the view never measures the rows out of sight.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    setShowGrid(true);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new CentredCells(this));
    for (int column = 0; column < headings.size(); ++column) {
        const int width = column < widths.size() ? widths[column] : 0;
        if (width == 0)
            hideColumn(column);
        else
            setColumnWidth(column, width);
    }
}

void CCheckTable::AppendRows(const QList<QStringList>& rows) {
    m_model->Append(rows);
}

void CCheckTable::Clear() {
    m_model->Clear();
}

int CCheckTable::rowCount() const {
    return m_model->rowCount();
}

bool CCheckTable::IsTicked(int row) const {
    return m_model->IsTicked(row);
}

void CCheckTable::SetTicked(int row, bool ticked) {
    if (row >= 0 && row < rowCount())
        m_model->setData(m_model->index(row, 0), ticked ? Qt::Checked : Qt::Unchecked,
                         Qt::CheckStateRole);
}

void CCheckTable::SetAllTicked(bool ticked) {
    m_model->SetAllTicked(ticked);
}

QList<int> CCheckTable::TickedRows() const {
    QList<int> rows;
    for (int row = 0; row < rowCount(); ++row)
        if (IsTicked(row)) rows << row;
    return rows;
}

QString CCheckTable::Text(int row, int column) const {
    return m_model->Text(row, column);
}

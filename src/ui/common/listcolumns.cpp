#include "ui/common/listcolumns.h"

#include <QCollator>
#include <QHeaderView>
#include <QTableWidget>
#include <QVariant>
#include <algorithm>
#include <vector>

namespace listcolumns {
namespace {

const char* const kFirstWidths = "vemoFirstColumnWidths";

// Numbers before texts, numbers by value.
bool Before(const QString& a, const QString& b, const QCollator& collator) {
    bool aIsNumber = false, bIsNumber = false;
    const double x = a.toDouble(&aIsNumber), y = b.toDouble(&bIsNumber);
    if (aIsNumber && bIsNumber) return x < y;
    if (aIsNumber != bIsNumber) return aIsNumber;
    return collator.compare(a, b) < 0;
}

void SortRows(QTableWidget* list, int column, Qt::SortOrder order) {
    const int rows = list->rowCount(), columns = list->columnCount();
    std::vector<std::vector<QTableWidgetItem*>> taken(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) taken[size_t(r)].push_back(list->takeItem(r, c));
    auto text = [column](const std::vector<QTableWidgetItem*>& row) {
        return row[size_t(column)] ? row[size_t(column)]->text() : QString();
    };
    const QCollator collator;
    std::stable_sort(taken.begin(), taken.end(), [&](const auto& a, const auto& b) {
        return order == Qt::AscendingOrder ? Before(text(a), text(b), collator)
                                           : Before(text(b), text(a), collator);
    });
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) list->setItem(r, c, taken[size_t(r)][size_t(c)]);
}

}  // namespace

void FitToTexts(QTableWidget* list, int widest) {
    QVariantList first = list->property(kFirstWidths).toList();
    if (first.isEmpty()) {
        for (int c = 0; c < list->columnCount(); ++c) first << list->columnWidth(c);
        list->setProperty(kFirstWidths, first);
    }
    QHeaderView* header = list->horizontalHeader();
    for (int c = 0; c < list->columnCount(); ++c) {
        const int given = first.value(c).toInt();
        if (list->isColumnHidden(c) || given == 0) continue;
        const QAbstractItemView* view = list;  // where the width hint is public
        const int needed = std::max(view->sizeHintForColumn(c), header->sectionSizeHint(c));
        list->setColumnWidth(c, std::clamp(needed, given, std::max(given, widest)));
    }
}

void SortOnHeadingClick(QTableWidget* list) {
    QHeaderView* header = list->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    // Rows added or removed by the screen are in its order again.
    auto forget = [header] { header->setSortIndicator(-1, Qt::AscendingOrder); };
    QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, header, forget);
    QObject::connect(list->model(), &QAbstractItemModel::rowsRemoved, header, forget);
    QObject::connect(header, &QHeaderView::sectionClicked, list, [list, header](int column) {
        // The rows move with their ticks; nothing about a row changes.
        const QSignalBlocker quiet(list);
        SortRows(list, column, header->sortIndicatorOrder());
    });
}

}  // namespace listcolumns

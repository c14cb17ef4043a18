#pragma once

#include <QStyledItemDelegate>

// Centres every cell's text: one delegate instead of an alignment stored in each of
// the many cells of a long list.
class CentredCells : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignCenter;
    }
};

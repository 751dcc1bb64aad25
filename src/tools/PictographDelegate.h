#pragma once

#include <QStyledItemDelegate>

// Draws a picker entry: its picture on top and its caption under it, the caption's CR
// starting the second line, each line wrapped within the cell and cut with an ellipsis.
class PictographDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    PictographDelegate(QSize cell, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QSize m_cell;
};

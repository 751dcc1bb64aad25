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

    // A cell width wide with room for the picture and two caption lines in font. A line of
    // kana or kanji is taller than the font's own height (the characters come from another
    // font), so the room is measured on such a line.
    static QSize cellSize(int width, int iconSide, const QFont &font);
    // Where the caption goes in a cell drawn at rect with pictures of iconSize.
    static QRect captionRect(const QRect &rect, QSize iconSize);

private:
    QSize m_cell;
};

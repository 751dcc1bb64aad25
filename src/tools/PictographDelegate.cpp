#include "tools/PictographDelegate.h"

#include <QApplication>
#include <QPainter>

namespace {
constexpr int Margin = 3;
}

PictographDelegate::PictographDelegate(QSize cell, QObject *parent)
    : QStyledItemDelegate(parent), m_cell(cell)
{
}

QSize PictographDelegate::cellSize(int width, int iconSide, const QFont &font)
{
    const QFontMetrics metrics(font);
    const int lines = metrics
                          .boundingRect(QRect(0, 0, width, 1000), Qt::AlignHCenter | Qt::AlignTop,
                                        QStringLiteral("曇りスポーツ\n[ Cloudy ]"))
                          .height();
    return {width, Margin + iconSide + 1 + Margin + lines + Margin};
}

QRect PictographDelegate::captionRect(const QRect &rect, QSize iconSize)
{
    const QRect cell = rect.adjusted(Margin, Margin, -Margin, -Margin);
    return QRect(cell.left(), cell.top() + iconSize.height() + Margin, cell.width(),
                 cell.bottom() - cell.top() - iconSize.height() - Margin + 1);
}

QSize PictographDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return m_cell;
}

void PictographDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QRect cell = opt.rect.adjusted(Margin, Margin, -Margin, -Margin);
    const QSize iconSize = opt.decorationSize;
    const QRect iconRect(cell.left() + (cell.width() - iconSize.width()) / 2, cell.top(),
                         iconSize.width(), iconSize.height());
    const QRect textRect = captionRect(opt.rect, iconSize);
    const bool selected = opt.state & QStyle::State_Selected;

    painter->save();
    opt.icon.paint(painter, iconRect, Qt::AlignCenter, selected ? QIcon::Selected : QIcon::Normal);
    QStringList lines = opt.text.split(u'\r');
    const QFontMetrics metrics(opt.font);
    for (QString &line : lines)
        line = metrics.elidedText(line, Qt::ElideRight, textRect.width());
    const QString shown = lines.join(u'\n');
    const QRect used = metrics.boundingRect(textRect, Qt::AlignHCenter | Qt::AlignTop, shown);
    if (selected)
        painter->fillRect(used.adjusted(-2, 0, 2, 0), opt.palette.brush(QPalette::Highlight));
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    painter->drawText(textRect, Qt::AlignHCenter | Qt::AlignTop, shown);
    if (opt.state & QStyle::State_HasFocus)
        painter->drawRect(used.adjusted(-2, 0, 1, -1));
    painter->restore();
}

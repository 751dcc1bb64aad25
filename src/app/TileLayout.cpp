#include "app/TileLayout.h"

#include <QtGlobal>

QList<QRect> TileStrips(const QRect &area, int count, Qt::Orientation stacking)
{
    QList<QRect> places;
    const bool rows = stacking == Qt::Vertical;
    const int length = rows ? area.height() : area.width();
    for (int i = 0; i < count; ++i) {
        // Edges from the whole length, so the strips leave no gap and share the remainder.
        const int from = length * i / count;
        const int to = length * (i + 1) / count;
        places.append(rows ? QRect(area.left(), area.top() + from, area.width(), to - from)
                           : QRect(area.left() + from, area.top(), to - from, area.height()));
    }
    return places;
}

QList<QRect> CascadePlaces(const QRect &area, int count, int step)
{
    QList<QRect> places;
    if (count <= 0)
        return places;
    step = qMax(1, step);
    // Each window keeps room for the others' title bars, but stays at least two thirds of
    // the area.
    const int width = qMax(area.width() * 2 / 3, area.width() - (count - 1) * step);
    const int height = qMax(area.height() * 2 / 3, area.height() - (count - 1) * step);
    const int fitting =
        qMax(1, qMin((area.width() - width) / step, (area.height() - height) / step) + 1);
    for (int i = 0; i < count; ++i) {
        const int offset = (i % fitting) * step;
        places.append(QRect(area.left() + offset, area.top() + offset, width, height));
    }
    return places;
}

QRect MainWindowPlace(const QRect &area, const QSize &least)
{
    const QSize size = QSize(area.width() * 8 / 10, area.height() * 8 / 10)
                           .expandedTo(least)
                           .boundedTo(area.size());
    return QRect(area.topLeft() +
                     QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2),
                 size);
}

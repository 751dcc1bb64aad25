#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Places for count windows in equal strips that together cover area: one above the other
// (Qt::Vertical, each as wide as the area) or side by side (Qt::Horizontal, each as high).
QList<QRect> TileStrips(const QRect &area, int count, Qt::Orientation stacking);

// Places for count overlapping windows, each step further right and down than the one before,
// starting again at the top left when the next one would leave the area.
QList<QRect> CascadePlaces(const QRect &area, int count, int step);

// The main window's place in a screen's free area: 80 % of it each way, or the window's least
// size where that is more, but never past the area's edges; centred in it.
QRect MainWindowPlace(const QRect &area, const QSize &least);

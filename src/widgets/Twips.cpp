#include "widgets/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace Twips {

int toPixels(int twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

int fromPixels(int pixels, double dpi)
{
    return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

double logicalDpi(const QWidget *widget)
{
    if (widget)
        return widget->logicalDpiX();
    if (auto *screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInchX();
    return 96.0;
}

int toPixels(int twips, const QWidget *widget) { return toPixels(twips, logicalDpi(widget)); }

int fromPixels(int pixels, const QWidget *widget) { return fromPixels(pixels, logicalDpi(widget)); }

} // namespace Twips

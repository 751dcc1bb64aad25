#pragma once

class QWidget;

// Lengths of windows and panes are given in twips (1/1440 inch); the screen counts pixels.
namespace Twips {
int toPixels(int twips, double dpi);
int fromPixels(int pixels, double dpi);
// Using the logical DPI of the widget's screen (96 when there is none).
int toPixels(int twips, const QWidget *widget = nullptr);
int fromPixels(int pixels, const QWidget *widget = nullptr);
double logicalDpi(const QWidget *widget = nullptr);
} // namespace Twips

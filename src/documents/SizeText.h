#pragma once

#include <QString>

// The preview size as the status bar shows it: kilobytes in the shortest plain decimal form
// of up to 15 significant digits, cut (not rounded) after two decimals: 3.140625 -> "3.14".
QString SizeText(double kilobytes);
// The number in front of " KB" in a size panel text; 0 when there is none.
double SizeFromPanelText(const QString &text);

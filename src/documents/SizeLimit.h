#pragma once

#include <QString>

// Whether the size that the status bar shows ("5.01 KB") is over the 5 KB that an i-mode page
// may have; exactly 5 KB is still allowed.
bool ExceedsSizeLimit(const QString &panelText);

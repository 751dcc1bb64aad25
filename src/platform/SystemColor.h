#pragma once

#include <QtGlobal>

// Colours are 0x00BBGGRR; a value with the top bit set names a system colour by the index in
// its low byte.
namespace SystemColor {
constexpr quint32 Flag = 0x80000000u;
constexpr quint32 WindowText = Flag | 8u; // the system's window-text colour
} // namespace SystemColor

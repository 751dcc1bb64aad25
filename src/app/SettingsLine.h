#pragma once

#include <QByteArray>
#include <array>

// The settings file: one line of four fields "#TRUE#" or "#FALSE#", separated by commas,
// ended by CR LF. A field ends at a comma or at a line end.
namespace SettingsLine {

// The fields read from the file; a field that is missing or neither literal stays unset.
struct Fields
{
    std::array<int, 4> value{-1, -1, -1, -1}; // 1 true, 0 false, -1 not read
};

Fields parse(const QByteArray &content);
QByteArray format(bool tagColor, bool realtimePreview, bool width8, bool width10);

} // namespace SettingsLine

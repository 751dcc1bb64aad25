#include "app/SettingsLine.h"

namespace SettingsLine {

Fields parse(const QByteArray &content)
{
    Fields fields;
    int index = 0;
    qsizetype start = 0;
    const qsizetype n = content.size();
    for (qsizetype i = 0; i <= n && index < 4; ++i) {
        const bool end = i == n;
        const char c = end ? '\n' : content.at(i);
        if (c != ',' && c != '\r' && c != '\n')
            continue;
        const QByteArray field = content.mid(start, i - start).trimmed();
        start = i + 1;
        // CR LF is one line end, not an empty field between two.
        if (c == '\n' && i > 0 && content.at(i - 1) == '\r' && field.isEmpty())
            continue;
        if (end && field.isEmpty())
            break;
        if (field == "#TRUE#")
            fields.value[index] = 1;
        else if (field == "#FALSE#")
            fields.value[index] = 0;
        ++index;
    }
    return fields;
}

QByteArray format(bool tagColor, bool realtimePreview, bool width8, bool width10)
{
    auto lit = [](bool b) { return b ? QByteArrayLiteral("#TRUE#") : QByteArrayLiteral("#FALSE#"); };
    return lit(tagColor) + ',' + lit(realtimePreview) + ',' + lit(width8) + ',' + lit(width10) +
           "\r\n";
}

} // namespace SettingsLine

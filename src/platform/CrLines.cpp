#include "platform/CrLines.h"

QList<QByteArrayView> SplitCrLines(QByteArrayView bytes)
{
    QList<QByteArrayView> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype cr = bytes.indexOf('\r', pos);
        if (cr < 0) {
            lines.append(bytes.sliced(pos));
            break;
        }
        lines.append(bytes.sliced(pos, cr - pos));
        pos = cr + 1;
        if (pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    return lines;
}

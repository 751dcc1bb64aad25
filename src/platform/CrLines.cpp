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

QList<QByteArrayView> SplitCrOrLfLines(QByteArrayView bytes)
{
    if (bytes.contains('\r'))
        return SplitCrLines(bytes);
    QList<QByteArrayView> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', pos);
        if (lf < 0) {
            lines.append(bytes.sliced(pos));
            break;
        }
        lines.append(bytes.sliced(pos, lf - pos));
        pos = lf + 1;
    }
    return lines;
}

#include "text/CrLines.h"

namespace {
// Lines ending at end; a CR LF pair counts as one end when end is CR.
QList<QByteArrayView> split(QByteArrayView bytes, char end)
{
    QList<QByteArrayView> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype at = bytes.indexOf(end, pos);
        if (at < 0) {
            lines.append(bytes.sliced(pos));
            break;
        }
        lines.append(bytes.sliced(pos, at - pos));
        pos = at + 1;
        if (end == '\r' && pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    return lines;
}
} // namespace

QList<QByteArrayView> SplitCrLines(QByteArrayView bytes) { return split(bytes, '\r'); }

QList<QByteArrayView> SplitCrOrLfLines(QByteArrayView bytes)
{
    return split(bytes, bytes.contains('\r') ? '\r' : '\n');
}

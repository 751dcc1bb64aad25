#pragma once

#include <QByteArrayView>
#include <QList>

// Splits file bytes into lines the way templates are read: a line ends at CR LF or at a lone
// CR, which are not part of it; a lone LF is ordinary text. Splitting happens on the bytes,
// before decoding: CR and LF never occur inside a code page 932 character. A last line
// without a line end is still a line; an empty input has no lines.
QList<QByteArrayView> SplitCrLines(QByteArrayView bytes);

// The same for files whose lines may have been written with LF alone (the tag library): a
// file that holds no CR at all ends its lines at each LF; a file that holds a CR is split as
// above, so that a lone LF inside one of its lines stays text, as it was written.
QList<QByteArrayView> SplitCrOrLfLines(QByteArrayView bytes);

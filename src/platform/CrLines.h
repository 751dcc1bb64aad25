#pragma once

#include <QByteArrayView>
#include <QList>

// Splits file bytes into lines the way the tag library files are read: a line ends at CR LF
// or at a lone CR, which are not part of it; a lone LF is ordinary text. Splitting happens on
// the bytes, before decoding: CR never occurs inside a code page 932 character. A last line
// without a line end is still a line; an empty input has no lines.
QList<QByteArrayView> SplitCrLines(QByteArrayView bytes);

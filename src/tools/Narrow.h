#pragma once

#include <QString>
#include <QStringView>

// Replaces every full-width character that has a half-width counterpart by that counterpart:
// the ideographic space, the full-width ASCII forms, katakana and katakana punctuation. A
// voiced or semi-voiced katakana becomes two characters (ガ -> ｶﾞ), so the text may grow but
// never shrinks. Everything else, hiragana and kanji among it, is kept as it is.
QString Narrow(QStringView text);

#pragma once

#include "text/Cp932.h"

#include <QString>
#include <QStringView>

// Replaces every full-width character that has a half-width counterpart by that counterpart:
// the ideographic space, the full-width ASCII forms, katakana and katakana punctuation. A
// voiced or semi-voiced katakana becomes two characters (ガ -> ｶﾞ), so the text may grow but
// never shrinks. Everything else, hiragana and kanji among it, is kept as it is.
QString Narrow(QStringView text);

// The same for a page's text with the byte forms of its characters: the forms of the
// characters kept move to where these now stand; those of the characters narrowed go, as
// these are new characters, written as Windows writes them.
QString Narrow(QStringView text, Cp932::Forms &forms);

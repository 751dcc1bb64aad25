#pragma once

#include <QByteArray>
#include <functional>

struct Pictograph;

// The page as the preview is served it. A browser has no pictographs: it reads &#63647; as
// U+F89F, codes from &#63808; up as kanji, and has no font for the private-use characters the
// raw bytes decode to. So each pictograph in the page's text (raw bytes, a decimal or
// hexadecimal reference to its Shift-JIS code, a reference to its private-use code point, au's
// <img localsrc="44">) becomes a box as high as the text showing its picture. The picture travels in the page (a
// data: address, once per pictograph, in a style rule before its first use), since a page
// is allowed to load no local file but its own. The file itself is never changed.
namespace PictographMarkup {

// The picture's bytes (a GIF); empty when there is none, and then the pictograph stays as
// written.
using Pictures = std::function<QByteArray(const Pictograph &)>;

// Raw bytes are read in previewCharset(page). References work in any charset. Inside tags a
// reference to a Shift-JIS code becomes one to the private-use character, the pictograph's
// character; title, textarea, script, style and comments are left alone.
QByteArray mapForPreview(const QByteArray &page, const Pictures &pictures);

// The charset the preview reads a page in: Shift_JIS, as a phone reads every page whatever it
// declares, but for a page that declares UTF-8 (in its first kilobyte, as a browser looks for
// it) and is UTF-8 throughout, a copy made for today's browsers: UTF-8.
QByteArray previewCharset(const QByteArray &page);

} // namespace PictographMarkup

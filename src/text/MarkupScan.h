#pragma once

#include <QRegularExpression>
#include <QStringView>
#include <QtGlobal>
#include <type_traits>

// What the preview's pictograph pictures and the UTF-8 export both read of a page's markup, over
// its bytes or over its text alike: numeric character references, the elements whose content
// is not drawn as markup, and the charset a meta tag declares.
namespace MarkupScan {

template <typename Ch> inline uint unit(Ch c)
{
    return uint(std::make_unsigned_t<Ch>(c));
}
inline uint lowerAscii(uint c)
{
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

// A numeric character reference at s[at] ("&#"): its value and length, or 0 when it is none.
template <typename Ch> qsizetype readReference(const Ch *s, qsizetype n, qsizetype at, uint *value)
{
    qsizetype i = at + 2;
    const bool hex = i < n && lowerAscii(unit(s[i])) == 'x';
    if (hex)
        ++i;
    const qsizetype digits = i;
    uint v = 0;
    for (; i < n; ++i) {
        const uint c = unit(s[i]);
        uint d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && lowerAscii(c) >= 'a' && lowerAscii(c) <= 'f')
            d = lowerAscii(c) - 'a' + 10;
        else
            break;
        // Past the last character the number names none; it stays there, however long.
        if (v <= 0x10FFFF)
            v = v * (hex ? 16 : 10) + d;
    }
    if (i == digits)
        return 0;
    // A browser takes the reference without its semicolon too.
    if (i < n && s[i] == ';')
        ++i;
    *value = v;
    return i - at;
}

// True when s[at] starts the ASCII word name, in any case, with nothing of a name after it.
template <typename Ch> bool startsTagName(const Ch *s, qsizetype n, qsizetype at, const char *name)
{
    qsizetype i = at;
    for (; *name; ++name, ++i) {
        if (i >= n || lowerAscii(unit(s[i])) != uint(uchar(*name)))
            return false;
    }
    if (i >= n)
        return true;
    const uint after = unit(s[i]);
    return after == '>' || after == ' ' || after == '\t' || after == '\r' || after == '\n' ||
           after == '/';
}

// At a "<": when it starts an element whose content is not drawn as markup, or not drawn in
// the page at all (title, textarea, script, style, xmp, plaintext), the position of the "<" of
// its closing tag (n when there is none); otherwise -1.
template <typename Ch> qsizetype skippedElementEnd(const Ch *s, qsizetype n, qsizetype at)
{
    static const char *const names[] = {"title", "textarea", "script", "style", "xmp", "plaintext"};
    if (at + 1 >= n)
        return -1;
    const uint first = lowerAscii(unit(s[at + 1]));
    if (first != 't' && first != 's' && first != 'x' && first != 'p')
        return -1;
    for (const char *name : names) {
        if (!startsTagName(s, n, at + 1, name))
            continue;
        for (qsizetype i = at + 1; i + 1 < n; ++i) {
            if (s[i] != '<' || s[i + 1] != '/')
                continue;
            // The closing tag's name is matched as a prefix, as a browser ends the element.
            qsizetype k = i + 2;
            const char *c = name;
            while (*c && k < n && lowerAscii(unit(s[k])) == uint(uchar(*c))) {
                ++c;
                ++k;
            }
            if (!*c)
                return i;
        }
        return n;
    }
    return -1;
}

// au's own form of a pictograph, <img localsrc="44">: its icon number, and where the tag ends.
struct LocalSrc
{
    uint number = 0;   // 0 when the tag is no such image
    qsizetype end = 0; // just past the tag's ">"
};

// At a "<": an img tag whose localsrc attribute (quoted either way or not at all, in any case,
// among any other attributes) holds a number.
template <typename Ch> LocalSrc localSrcImage(const Ch *s, qsizetype n, qsizetype at)
{
    if (!startsTagName(s, n, at + 1, "img"))
        return {};
    auto space = [](uint c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
    };
    uint number = 0;
    bool seen = false; // a browser reads the first of two attributes of one name
    qsizetype i = at + 4;
    while (i < n) {
        const uint c = unit(s[i]);
        if (c == '>')
            return number ? LocalSrc{number, i + 1} : LocalSrc{};
        if (space(c) || c == '/') {
            ++i;
            continue;
        }
        const qsizetype nameFrom = i;
        while (i < n && !space(unit(s[i])) && unit(s[i]) != '/' && unit(s[i]) != '>' &&
               unit(s[i]) != '=')
            ++i;
        bool localsrc = i - nameFrom == 8;
        for (qsizetype k = 0; localsrc && k < 8; ++k)
            localsrc = lowerAscii(unit(s[nameFrom + k])) == uint(uchar("localsrc"[k]));
        while (i < n && space(unit(s[i])))
            ++i;
        if (i >= n || s[i] != '=')
            continue;
        ++i;
        while (i < n && space(unit(s[i])))
            ++i;
        if (i >= n)
            break;
        qsizetype from = i, to;
        const uint quote = unit(s[i]);
        if (quote == '"' || quote == '\'') {
            from = ++i;
            while (i < n && unit(s[i]) != quote)
                ++i;
            if (i >= n)
                break;
            to = i++;
        } else {
            while (i < n && !space(unit(s[i])) && unit(s[i]) != '>')
                ++i;
            to = i;
        }
        if (!localsrc || seen)
            continue;
        seen = true;
        // Digits only, and few of them: anything else names no icon.
        for (qsizetype k = from; k < to && to - from <= 5; ++k) {
            const uint d = unit(s[k]);
            if (d < '0' || d > '9') {
                number = 0;
                break;
            }
            number = number * 10 + (d - '0');
        }
    }
    return {};
}

// A meta tag's charset, in either form (<meta charset="..."> or http-equiv's content="...;
// charset=..."): the name is captured as 1.
const QRegularExpression &charsetDeclaration();

enum class Charset
{
    ShiftJis,
    Utf8,
    Other
};
// Which charset a declared name stands for; the names of Shift-JIS in any case.
Charset charsetOf(QStringView name);

} // namespace MarkupScan

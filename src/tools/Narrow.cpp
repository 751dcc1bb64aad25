#include "tools/Narrow.h"

#include <array>
#include <string_view>

namespace {

constexpr char16_t Voiced = u'ﾞ';
constexpr char16_t SemiVoiced = u'ﾟ';

struct Half
{
    char16_t base = 0; // 0: no half-width form, the character stays
    char16_t mark = 0; // 0: one character
};

constexpr char16_t BlockFirst = 0x3000;     // CJK symbols, hiragana and katakana: U+3000
using BlockTable = std::array<Half, 0x100>; // to U+30FF

// Each character of full becomes the character of half at the same place, followed by mark.
constexpr void map(BlockTable &table, std::u16string_view full, std::u16string_view half,
                   char16_t mark = 0)
{
    if (full.size() != half.size())
        throw "the two lists must match"; // stops the compilation
    for (std::size_t i = 0; i < full.size(); ++i)
        table[full[i] - BlockFirst] = {half[i], mark};
}

// Katakana without an exact half-width form (ヮ ヰ ヱ ヵ ヶ ヸ ヹ) and the iteration marks stay:
// a look-alike would change what the text says.
constexpr BlockTable buildTable()
{
    BlockTable table{};
    map(table, u"\u3000。「」、・ー゛゜\u3099\u309A", u" ｡｢｣､･ｰﾞﾟﾞﾟ");
    map(table, u"ァアィイゥウェエォオカキクケコサシスセソタチッツテトナニヌネノハヒフヘホ",
        u"ｧｱｨｲｩｳｪｴｫｵｶｷｸｹｺｻｼｽｾｿﾀﾁｯﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎ");
    map(table, u"マミムメモャヤュユョヨラリルレロワヲン", u"ﾏﾐﾑﾒﾓｬﾔｭﾕｮﾖﾗﾘﾙﾚﾛﾜｦﾝ");
    map(table, u"ガギグゲゴザジズゼゾダヂヅデドバビブベボヴヷヺ", u"ｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎｳﾜｦ",
        Voiced);
    map(table, u"パピプペポ", u"ﾊﾋﾌﾍﾎ", SemiVoiced);
    return table;
}

constexpr BlockTable block = buildTable();

} // namespace

namespace {
// Appends the half-width form of c to out; false, appending c itself, when it has none.
bool narrowOne(char16_t c, QString &out)
{
    if (c >= u'！' && c <= u'～') { // U+FF01 to U+FF5E: the full-width ASCII forms
        out.append(QChar(char16_t(c - u'！' + u'!')));
        return true;
    }
    const unsigned index = unsigned(c) - BlockFirst;
    if (index < block.size() && block[index].base != 0) {
        out.append(QChar(block[index].base));
        if (block[index].mark != 0)
            out.append(QChar(block[index].mark));
        return true;
    }
    out.append(QChar(c));
    return false;
}
} // namespace

QString Narrow(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar qc : text)
        narrowOne(qc.unicode(), out);
    return out;
}

QString Narrow(QStringView text, Cp932::Forms &forms)
{
    QString out;
    out.reserve(text.size());
    Cp932::Forms kept;
    qsizetype f = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype at = out.size();
        const bool narrowed = narrowOne(text[i].unicode(), out);
        while (f < forms.size() && forms.at(f).position < i)
            ++f;
        if (f < forms.size() && forms.at(f).position == i && !narrowed)
            kept.append(Cp932::Form{int(at), forms.at(f).bytes});
    }
    forms = kept;
    return out;
}

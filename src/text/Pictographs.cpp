#include "text/Pictographs.h"

#include <QFile>
#include <QStringList>
#include <array>

namespace {

constexpr char16_t PuaFirst = 0xE000;
constexpr char16_t PuaEnd = 0xE800;
// au's own code points reach past the user-defined area's, up to U+EB8E.
constexpr char16_t CarrierPuaEnd = 0xEC00;
constexpr uint NumberEnd = 1024;
constexpr char16_t SjisFirst = 0xF040;
constexpr char16_t SjisEnd = 0xFA00;

QString codePoints(const QString &field, bool *ok)
{
    QList<char32_t> cps;
    *ok = true;
    for (const QString &cp : field.split(u' ', Qt::SkipEmptyParts)) {
        bool hexOk = false;
        const uint value = cp.mid(2).toUInt(&hexOk, 16);
        if (!cp.startsWith(QLatin1String("U+")) || !hexOk || value > 0x10FFFF) {
            *ok = false;
            return {};
        }
        cps << char32_t(value);
    }
    return QString::fromUcs4(cps.constData(), cps.size());
}

QString rowError(int line, const QString &what)
{
    return QStringLiteral("line %1: %2").arg(line).arg(what);
}

struct Index
{
    QList<Pictograph> rows;
    std::array<qint16, PuaEnd - PuaFirst> byPua;
    std::array<qint16, SjisEnd - SjisFirst> bySjis;
    std::array<qint16, CarrierPuaEnd - PuaFirst> byCarrierPua;
    std::array<qint16, NumberEnd> byNumber;
};

const Index &index()
{
    static const Index built = [] {
        Index i;
        i.byPua.fill(-1);
        i.bySjis.fill(-1);
        i.byCarrierPua.fill(-1);
        i.byNumber.fill(-1);
        QFile file(QStringLiteral(":/pictographs/pictographs-carriers.csv"));
        if (!file.open(QIODevice::ReadOnly))
            return i;
        i.rows = Pictographs::parse(file.readAll()).rows;
        for (qsizetype n = 0; n < i.rows.size(); ++n) {
            i.byPua[i.rows[n].pua - PuaFirst] = qint16(n);
            i.bySjis[i.rows[n].sjis - SjisFirst] = qint16(n);
            i.byCarrierPua[i.rows[n].carrierPua - PuaFirst] = qint16(n);
            if (i.rows[n].number)
                i.byNumber[i.rows[n].number] = qint16(n);
        }
        return i;
    }();
    return built;
}

} // namespace

QString Pictograph::imageFile() const
{
    return QStringLiteral("ImageList/%1.gif").arg(uint(sjis));
}

namespace Pictographs {

PictographTableRead parse(QByteArrayView csv)
{
    PictographTableRead read;
    const QStringList lines = QString::fromUtf8(csv).split(u'\n');
    static const QString header =
        QStringLiteral("carrier,sjis_hex,decimal,pua,unicode,name_ja,name_en,carrier_pua,number");
    if (lines.isEmpty() || lines.first().trimmed() != header) {
        read.error = rowError(1, QStringLiteral("not the pictograph table"));
        return read;
    }
    for (int n = 1; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty())
            continue;
        // No field holds a comma, so a plain split is the whole of the format.
        const QStringList f = line.split(u',');
        if (f.size() != 9) {
            read.error = rowError(n + 1, QStringLiteral("expected 9 fields"));
            return read;
        }
        Pictograph p;
        if (f[0] == QLatin1String("docomo"))
            p.carrier = Pictograph::Carrier::Docomo;
        else if (f[0] == QLatin1String("kddi"))
            p.carrier = Pictograph::Carrier::Kddi;
        else {
            read.error = rowError(n + 1, QStringLiteral("unknown carrier ") + f[0]);
            return read;
        }
        bool sjisOk = false, decimalOk = false, puaOk = false, emojiOk = false;
        const uint sjis = f[1].toUInt(&sjisOk, 16);
        const uint decimal = f[2].toUInt(&decimalOk, 10);
        const uint pua = f[3].startsWith(QLatin1String("U+")) ? f[3].mid(2).toUInt(&puaOk, 16) : 0;
        p.emoji = codePoints(f[4], &emojiOk);
        bool carrierPuaOk = false, numberOk = f[8].isEmpty();
        const uint carrierPua =
            f[7].startsWith(QLatin1String("U+")) ? f[7].mid(2).toUInt(&carrierPuaOk, 16) : 0;
        const uint number = numberOk ? 0 : f[8].toUInt(&numberOk, 10);
        if (!sjisOk || !decimalOk || sjis != decimal || sjis < SjisFirst || sjis >= SjisEnd) {
            read.error = rowError(n + 1, QStringLiteral("bad Shift-JIS code"));
            return read;
        }
        if (!puaOk || pua < PuaFirst || pua >= PuaEnd || !emojiOk || !carrierPuaOk ||
            carrierPua < PuaFirst || carrierPua >= CarrierPuaEnd) {
            read.error = rowError(n + 1, QStringLiteral("bad code point"));
            return read;
        }
        p.sjis = char16_t(sjis);
        if (!numberOk || number >= NumberEnd) {
            read.error = rowError(n + 1, QStringLiteral("bad icon number"));
            return read;
        }
        p.pua = char16_t(pua);
        p.carrierPua = char16_t(carrierPua);
        p.number = ushort(number);
        p.nameJa = f[5];
        p.nameEn = f[6];
        read.rows << p;
    }
    return read;
}

const QList<Pictograph> &all() { return index().rows; }

const Pictograph *bySjis(uint code)
{
    if (code < SjisFirst || code >= SjisEnd)
        return nullptr;
    const qint16 n = index().bySjis[code - SjisFirst];
    return n < 0 ? nullptr : &index().rows[n];
}

const Pictograph *byPua(uint codePoint)
{
    if (codePoint < PuaFirst || codePoint >= PuaEnd)
        return nullptr;
    const qint16 n = index().byPua[codePoint - PuaFirst];
    return n < 0 ? nullptr : &index().rows[n];
}

const Pictograph *byReference(uint value)
{
    // The two ranges do not meet, so a number names at most one pictograph.
    if (const Pictograph *p = bySjis(value))
        return p;
    if (value < PuaFirst || value >= CarrierPuaEnd)
        return nullptr;
    const qint16 n = index().byCarrierPua[value - PuaFirst];
    return n < 0 ? nullptr : &index().rows[n];
}

const Pictograph *byNumber(uint number)
{
    if (number == 0 || number >= NumberEnd)
        return nullptr;
    const qint16 n = index().byNumber[number];
    return n < 0 ? nullptr : &index().rows[n];
}

QString imagePath(const QString &programFolder, const Pictograph &pictograph)
{
    return programFolder + u'/' + pictograph.imageFile();
}

} // namespace Pictographs

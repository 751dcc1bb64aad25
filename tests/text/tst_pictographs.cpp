#include "text/Cp932.h"
#include "text/PictographMarkup.h"
#include "text/Pictographs.h"
#include "text/Utf8Export.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

QByteArray sjisBytes(char16_t code)
{
    const char bytes[] = {char(code >> 8), char(code & 0xFF)};
    return QByteArray(bytes, 2);
}

// A stand-in picture that names its pictograph.
QByteArray pictureOf(const Pictograph &p) { return "GIF" + QByteArray::number(uint(p.sjis)); }

QByteArray served(const QByteArray &page) { return PictographMarkup::mapForPreview(page, pictureOf); }

// The pictographs the preview is served, as their numbers, each checked against its picture.
QList<uint> picturesIn(const QByteArray &served)
{
    static const QRegularExpression rule(
        QStringLiteral("\\.zp(\\d+)\\{[^}]*url\\(data:image/gif;base64,([^)]*)\\)"));
    static const QRegularExpression box(QStringLiteral("<span class=zp(\\d+)></span>"));
    QSet<uint> defined;
    for (const auto &m : rule.globalMatch(QString::fromLatin1(served))) {
        if (QByteArray::fromBase64(m.captured(2).toLatin1()) != "GIF" + m.captured(1).toLatin1())
            return {};
        defined.insert(m.captured(1).toUInt());
    }
    QList<uint> numbers;
    for (const auto &m : box.globalMatch(QString::fromLatin1(served))) {
        if (!defined.contains(m.captured(1).toUInt()))
            return {};
        numbers << m.captured(1).toUInt();
    }
    return numbers;
}

} // namespace

class TestPictographs : public QObject
{
    Q_OBJECT

private slots:
    void everyPictographIsFoundByEachOfItsCodes();
    void everyFormOfEveryRow_data();
    void everyFormOfEveryRow();
    void badTables_data();
    void badTables();
    void pictographsAreMapped_data();
    void pictographsAreMapped();
    void whereNothingIsMapped_data();
    void whereNothingIsMapped();
    void withoutItsPictureAPictographStaysAsWritten();
    void charsetsPagesAreReadIn_data();
    void charsetsPagesAreReadIn();
};

void TestPictographs::everyPictographIsFoundByEachOfItsCodes()
{
    int docomo = 0;
    for (const Pictograph &p : Pictographs::all()) {
        docomo += p.carrier == Pictograph::Carrier::Docomo;
        // The raw bytes decode to the table's private-use character, or a page's raw
        // pictographs would be looked up as another one; and each has its picture.
        QCOMPARE(Cp932::decode(sjisBytes(p.sjis)), QString(QChar(p.pua)));
        QVERIFY(Pictographs::bySjis(p.sjis) == &p && Pictographs::byPua(p.pua) == &p &&
                Pictographs::byReference(p.carrierPua) == &p &&
                Pictographs::isPictograph(QChar(p.pua)));
        QVERIFY(!p.number || Pictographs::byNumber(p.number) == &p);
        QVERIFY2(QFile::exists(Pictographs::imagePath(ZEMLO_SOURCE_DATA, p)), qPrintable(p.imageFile()));
    }
    QCOMPARE(docomo, 282);
    QCOMPARE(Pictographs::all().size(), 282 + 647);
    QCOMPARE(Pictographs::byReference(63072)->nameJa, QStringLiteral("太陽"));
    QVERIFY(!Pictographs::bySjis(0x889F) && !Pictographs::byReference(0x10E63E) &&
            !Pictographs::isPictograph(QChar(0xE000)));
}

void TestPictographs::everyFormOfEveryRow_data()
{
    QTest::addColumn<uint>("sjis");
    QTest::addColumn<uint>("carrierPua");
    QTest::addColumn<QString>("emoji");
    QTest::addColumn<QByteArray>("localsrc");
    // The table as written, read apart from the program's reader: a row it drops or files
    // under another code is found here.
    QFile file(QStringLiteral(":/pictographs/pictographs-carriers.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    int kddi = 0;
    for (const QString &line : lines.mid(1)) {
        const QStringList f = line.trimmed().split(u',');
        QCOMPARE(f.size(), 9);
        kddi += f[0] == QLatin1String("kddi");
        QString emoji;
        for (const QString &cp : f[4].split(u' ', Qt::SkipEmptyParts)) {
            const char32_t c = cp.mid(2).toUInt(nullptr, 16);
            emoji += QString::fromUcs4(&c, 1);
        }
        QTest::newRow(qPrintable(f[0] + u' ' + f[1]))
            << f[1].toUInt(nullptr, 16) << f[7].mid(2).toUInt(nullptr, 16) << emoji
            << (f[8].isEmpty() ? QByteArray() : "<img localsrc=\"" + f[8].toLatin1() + "\">");
    }
    QCOMPARE(kddi, 647);
}

// Each form a page may write a pictograph in is drawn as that pictograph and copied as its
// emoji, or its picture where it has none.
void TestPictographs::everyFormOfEveryRow()
{
    QFETCH(uint, sjis);
    QFETCH(uint, carrierPua);
    QFETCH(QString, emoji);
    QFETCH(QByteArray, localsrc);
    QList<QByteArray> forms = {
        sjisBytes(char16_t(sjis)),
        "&#" + QByteArray::number(sjis) + ';',
        "&#x" + QByteArray::number(sjis, 16) + ';',
        "&#x" + QByteArray::number(carrierPua, 16).toUpper() + ';',
        "&#" + QByteArray::number(carrierPua) + ';',
    };
    if (!localsrc.isEmpty())
        forms << localsrc;
    const QByteArray copied =
        emoji.isEmpty() ? "emoji/" + QByteArray::number(sjis) + ".gif" : ">" + emoji.toUtf8() + "<";
    for (const QByteArray &form : forms) {
        const QByteArray page = "<p>" + form + "</p>";
        QVERIFY2(picturesIn(served(page)) == QList<uint>{sjis}, form.constData());
        const QByteArray copy = Utf8Export::convert(Cp932::decode(page)).bytes;
        QVERIFY2(copy.contains(copied), form.constData());
    }
}

void TestPictographs::badTables_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<int>("rowsKept");
    const QByteArray header =
        "carrier,sjis_hex,decimal,pua,unicode,name_ja,name_en,carrier_pua,number\n";
    const QByteArray good = "docomo,F89F,63647,U+E63E,U+2600,x,y,U+E63E,\n";
    QTest::newRow("no header") << good << 0;
    QTest::newRow("carrier") << header + good + "willcom,F89F,63647,U+E63E,,x,y,U+E63E,\n" << 1;
    QTest::newRow("decimal differs") << header + "docomo,F89F,63648,U+E63E,,x,y,U+E63E,\n" << 0;
    QTest::newRow("not private use") << header + "docomo,F89F,63647,U+2600,,x,y,U+E63E,\n" << 0;
    QTest::newRow("carrier's own not private use")
        << header + good + "kddi,F7E5,63461,U+E5C8,,x,,U+1F195,334\n" << 1;
    QTest::newRow("icon number") << header + good + "kddi,F7E5,63461,U+E5C8,,x,,U+E5B5,4x\n" << 1;
}

void TestPictographs::badTables()
{
    QFETCH(QByteArray, csv);
    const PictographTableRead read = Pictographs::parse(csv);
    QVERIFY(!read.ok());
    QTEST(int(read.rows.size()), "rowsKept");
}

void TestPictographs::pictographsAreMapped_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QList<uint>>("images");
    const QByteArray head = "<html><body>";
    const QList<uint> fine{63647}, sun{63072};
    QTest::newRow("docomo raw") << head + "a\xF8\x9F" "b" << fine;
    // Every form of both carriers is drawn by the preview's own test; here, the ways of
    // writing them and the places they stand in.
    QTest::newRow("upper-case hex, private use") << head + "&#XE63E;" << fine;
    QTest::newRow("lower-case hex") << head + "&#xf660;" << sun;
    QTest::newRow("no semicolon") << head + "&#58504" << sun;
    QTest::newRow("twice, one picture") << head + "&#63647;<b>\xF8\x9F</b>" << QList<uint>{63647, 63647};
    // F940 and up would otherwise be kanji.
    QTest::newRow("compatibility ideograph") << head + "&#63808;" << QList<uint>{63808};
    QTest::newRow("after a kanji") << head + "\x88\x9F\xF8\x9F" << fine;
    QTest::newRow("in a link") << head + "<a href=\"x.html\">&#63647;</a>" << fine;
    QTest::newRow("after a comment") << head + "<!-- &#63647; -->&#63072;" << sun;
    QTest::newRow("after a title") << QByteArray("<title>&#63647;</title>&#63072;") << sun;
    QTest::newRow("declared Shift_JIS")
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\xF8\x9F")
        << fine;
    QTest::newRow("UTF-8 raw")
        << "<meta charset=\"utf-8\">" + QString(QChar(0xE488)).toUtf8() << sun;
    // A phone reads every page as Shift-JIS, whatever it declares.
    // au's image form, at the size of the text, however its tag is written.
    QTest::newRow("localsrc, other attributes")
        << head + "<img src=\"sun.gif\" localsrc='44' alt=\"&#63647;\" />" << sun;
    QTest::newRow("LOCALSRC unquoted")
        << head + "<IMG\r\nLOCALSRC=44>" << sun;
    QTest::newRow("localsrc, the first of two") << head + "<img localsrc=44 localsrc=1>" << sun;
    QTest::newRow("EUC-JP") << QByteArray("<meta charset=\"EUC-JP\">\xF8\x9F&#xE63E;")
                            << QList<uint>{63647, 63647};
}

void TestPictographs::pictographsAreMapped()
{
    QFETCH(QByteArray, page);
    QFETCH(QList<uint>, images);
    QCOMPARE(picturesIn(served(page)), images);
}

void TestPictographs::whereNothingIsMapped_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("served");
    QTest::newRow("no pictographs") << QByteArray("<p>&#12354;&amp;&#;&#x;</p>")
                                    << QByteArray("<p>&#12354;&amp;&#;&#x;</p>");
    // The trail byte of 81 F8 followed by 9F is no pictograph.
    QTest::newRow("trail byte") << QByteArray("\x81\xF8\x9F") << QByteArray("\x81\xF8\x9F");
    QTest::newRow("attribute")
        << QByteArray("<input value=\"&#63647;&#xE63E;\">")
        << QByteArray("<input value=\"&#58942;&#xE63E;\">");
    QTest::newRow("textarea")
        << QByteArray("<TEXTAREA>&#63647;</textarea>") << QByteArray("<TEXTAREA>&#63647;</textarea>");
    // An image au did not number, or not an au image at all, stays as the page wrote it.
    QTest::newRow("localsrc unknown") << QByteArray("<img localsrc=\"9999\" alt=&#63647;>")
                                      << QByteArray("<img localsrc=\"9999\" alt=&#58942;>");
    QTest::newRow("localsrc not a number")
        << QByteArray("<img localsrc=\"44a\"><img localsrc=''><img localsrc=4444444444444444>")
        << QByteArray("<img localsrc=\"44a\"><img localsrc=''><img localsrc=4444444444444444>");
    QTest::newRow("localsrc not an img")
        << QByteArray("<imgs localsrc=44><a localsrc=44><img xlocalsrc=44><img alt='localsrc=44'>")
        << QByteArray("<imgs localsrc=44><a localsrc=44><img xlocalsrc=44><img alt='localsrc=44'>");
    QTest::newRow("localsrc unended") << QByteArray("<img localsrc=44") << QByteArray("<img localsrc=44");
    QTest::newRow("unassigned private use") << QByteArray("&#xE000;") << QByteArray("&#xE000;");
    QTest::newRow("longer number") << QByteArray("&#0005894212345;") << QByteArray("&#0005894212345;");
}

void TestPictographs::withoutItsPictureAPictographStaysAsWritten()
{
    const QByteArray page = "<p>\xF8\x9F&#63647;&#x2600;</p>";
    QCOMPARE(PictographMarkup::mapForPreview(page, [](const Pictograph &) { return QByteArray(); }),
             page);
}

void TestPictographs::charsetsPagesAreReadIn_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("charset");
    const QByteArray utf8 =
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">";
    QTest::newRow("undeclared") << QByteArray("<p>\x82\xA0") << QByteArray("Shift_JIS");
    QTest::newRow("UTF-8 declared, Shift-JIS written")
        << utf8 + "\x82\xA0" << QByteArray("Shift_JIS");
    QTest::newRow("UTF-8 declared and written") << utf8 + "\xE3\x81\x82" << QByteArray("UTF-8");
    QTest::newRow("EUC-JP declared")
        << QByteArray("<meta charset=euc-jp>\xA4\xA2") << QByteArray("Shift_JIS");
}

void TestPictographs::charsetsPagesAreReadIn()
{
    QFETCH(QByteArray, page);
    QTEST(PictographMarkup::previewCharset(page), "charset");
}

void TestPictographs::whereNothingIsMapped()
{
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, served);
    QCOMPARE(::served(page), served);
}

QTEST_GUILESS_MAIN(TestPictographs)
#include "tst_pictographs.moc"

#include "text/Cp932.h"

#include <QFile>
#include <QHash>
#include <QMap>
#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text); // spaces are skipped
}

QByteArray bytesOf(quint16 code)
{
    QByteArray bytes;
    if (code > 0xFF)
        bytes.append(char(code >> 8));
    bytes.append(char(code & 0xFF));
    return bytes;
}

// Among the sequences of one character, the one Windows writes: JIS X 0208, then NEC row 13,
// then the IBM extension, then the NEC-selected IBM extension.
int rank(quint16 code)
{
    const int lead = code >> 8;
    if (lead == 0 || (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
        (lead >= 0xE0 && lead <= 0xEA))
        return 0;
    if (lead == 0x87)
        return 1;
    if (lead >= 0xFA && lead <= 0xFC)
        return 2;
    if (lead == 0xED || lead == 0xEE)
        return 3;
    return 4;
}

QString escape(uchar byte)
{
    return QString(QChar(0xF780 + byte));
}

char16_t userDefined(int lead, int trail)
{
    return char16_t(0xE000 + (lead - 0xF0) * 188 + (trail - 0x40) - (trail > 0x7F ? 1 : 0));
}

QString hexOf(QStringView text)
{
    QStringList units;
    for (QChar c : text)
        units << QString::number(c.unicode(), 16).toUpper();
    return units.join(' ');
}

} // namespace

Q_DECLARE_METATYPE(QList<Cp932::Unwritable>)
Q_DECLARE_METATYPE(Cp932::Forms)

namespace QTest {
template <> inline char *toString(const Cp932::Unwritable &u)
{
    return qstrdup(QByteArray::number(u.position) + "+" + QByteArray::number(u.length) + " why " +
                   QByteArray::number(int(u.reason)) + " byte " + QByteArray::number(u.byte, 16));
}
} // namespace QTest

class TestCp932 : public QObject
{
    Q_OBJECT

    QMap<quint16, char16_t> table;      // CP932.TXT
    QHash<char16_t, quint16> preferred; // character -> sequence Windows writes

private slots:
    void initTestCase()
    {
        QFile file(QStringLiteral(ZEMLO_TEST_DATA "/CP932.TXT"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        while (!file.atEnd()) {
            const QList<QByteArray> fields = file.readLine().simplified().split(' ');
            if (fields.size() < 2 || !fields[0].startsWith("0x") || !fields[1].startsWith("0x"))
                continue; // comments and the undefined single bytes
            bool okCode = false, okChar = false;
            const quint16 code = fields[0].toUShort(&okCode, 16);
            const char16_t c = fields[1].toUShort(&okChar, 16);
            QVERIFY(okCode && okChar);
            table.insert(code, c);
            if (!preferred.contains(c) || rank(code) < rank(preferred[c]))
                preferred[c] = code;
        }
        QCOMPARE(table.size(), 7915);
        QCOMPARE(table.size() - preferred.size(), 398); // extra sequences of duplicates
    }

    void decodesAndEncodesEveryTableMapping()
    {
        QByteArray allBytes, allPreferred;
        QString allChars;
        QStringList failures;
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            const QByteArray bytes = bytesOf(it.key());
            const QString c(QChar(it.value()));
            const QString decoded = Cp932::decode(bytes);
            const Cp932::Encoded encoded = Cp932::encode(decoded);
            const QByteArray expected = bytesOf(preferred[it.value()]);
            if (decoded != c || encoded.bytes != expected || !encoded.ok())
                failures << QStringLiteral("%1 -> %2 -> %3")
                                .arg(QString::fromLatin1(bytes.toHex()), hexOf(decoded),
                                     QString::fromLatin1(encoded.bytes.toHex()));
            allBytes += bytes;
            allChars += c;
            allPreferred += expected;
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 10).join(", ")));
        // The same in one run, across the single-byte fast path and back.
        QCOMPARE(Cp932::decode(allBytes), allChars);
        QCOMPARE(Cp932::encode(allChars).bytes, allPreferred);
        // Read as a page, the whole table comes back as it was.
        const Cp932::Page page = Cp932::decodePage(allBytes);
        QCOMPARE(Cp932::encodePage(page.text, page.forms, page.lineEnds).bytes, allBytes);
    }

    // A twin read from a page is written back as it was read; the same character entered is
    // written as Windows writes it: JIS X 0208, then NEC row 13, then the IBM extension, then
    // the NEC-selected IBM extension.
    void untouchedTwinKeepsItsBytes_data()
    {
        QTest::addColumn<QByteArray>("twin");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("JIS X 0208 over NEC row 13") << hex("8790") << hex("81E0");
        QTest::newRow("NEC row 13 over IBM") << hex("FA4A") << hex("8754");
        QTest::newRow("IBM over NEC-selected IBM") << hex("ED40") << hex("FA5C");
        QTest::newRow("three forms, from NEC row 13") << hex("879A") << hex("81E6");
        QTest::newRow("three forms, from IBM") << hex("FA54") << hex("81CA");
        QTest::newRow("three forms, from NEC-selected") << hex("EEF9") << hex("81CA");
        QTest::newRow("small roman numeral") << hex("EEEF") << hex("FA40");
        QTest::newRow("the four of the report") << hex("8790 FA4A ED40 EEF9")
                                                << hex("81E0 8754 FA5C 81CA");
    }

    void untouchedTwinKeepsItsBytes()
    {
        QFETCH(QByteArray, twin);
        QFETCH(QByteArray, written);
        const Cp932::Page page = Cp932::decodePage(twin);
        QCOMPARE(page.text, Cp932::decode(written));
        QCOMPARE(page.text, Cp932::decode(twin));
        QVERIFY(!page.forms.isEmpty());
        const Cp932::Encoded back = Cp932::encodePage(page.text, page.forms, page.lineEnds);
        QVERIFY(back.ok());
        QCOMPARE(back.bytes, twin);
        // Entered, without forms, the same text is written as Windows writes it.
        QCOMPARE(Cp932::encode(page.text).bytes, written);
        QCOMPARE(Cp932::encodePage(page.text, {}, page.lineEnds).bytes, written);
    }

    void followEditLeavesFormsBeforeTheEditShared()
    {
        const Cp932::Forms forms{{2, 0x8790}, {5, 0xFA4A}, {9, 0x0A}};
        Cp932::Forms edited = forms;
        Cp932::followEdit(edited, 10, 3, 1);
        QCOMPARE(edited.constData(), forms.constData());
        Cp932::followEdit(edited, 9, 0, 0);
        QCOMPARE(edited.constData(), forms.constData());
        Cp932::followEdit(edited, 5, 2, 1);
        QCOMPARE(edited, (Cp932::Forms{{2, 0x8790}, {8, 0x0A}}));
        Cp932::followEdit(edited, 2, 0, 2);
        QCOMPARE(edited, (Cp932::Forms{{4, 0x8790}, {10, 0x0A}}));
        Cp932::followEdit(edited, 0, 11, 0);
        QVERIFY(edited.isEmpty());
    }

    // Forms at 2, 5 and 6 after an edit, whether the list is shared with an image or not.
    void followEdit_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("added");
        QTest::addColumn<QList<int>>("positions"); // -1: the form is gone
        QTest::newRow("typed at a form") << 5 << 0 << 1 << QList{2, 6, 7};
        QTest::newRow("typed right behind a form") << 3 << 0 << 2 << QList{2, 7, 8};
        QTest::newRow("removed right before a form") << 3 << 2 << 0 << QList{2, 3, 4};
        QTest::newRow("replaced right before a form") << 3 << 2 << 1 << QList{2, 4, 5};
        QTest::newRow("its character removed") << 5 << 1 << 0 << QList{2, -1, 5};
        QTest::newRow("its character replaced") << 6 << 1 << 3 << QList{2, 5, -1};
        QTest::newRow("two removed") << 2 << 4 << 0 << QList{-1, -1, 2};
        QTest::newRow("behind every form") << 7 << 0 << 5 << QList{2, 5, 6};
    }
    void followEdit()
    {
        QFETCH(int, position);
        QFETCH(int, removed);
        QFETCH(int, added);
        QFETCH(QList<int>, positions);
        const Cp932::Forms before{{2, 0x8790}, {5, 0xFA4A}, {6, 0x0A}};
        Cp932::Forms forms;
        for (qsizetype k = 0; k < before.size(); ++k)
            if (positions.at(k) >= 0)
                forms.append({positions.at(k), before.at(k).bytes});
        Cp932::Forms shared = before, own = before;
        own.detach();
        Cp932::followEdit(shared, position, removed, added);
        Cp932::followEdit(own, position, removed, added);
        QCOMPARE(shared, forms);
        QCOMPARE(own, forms);
    }

    // Forms that lie outside the text (a damaged or crafted record) are passed over: the page
    // is written from its own units only, never from what lies past its end.
    void formsOutsideTheTextAreIgnored_data()
    {
        QTest::addColumn<Cp932::Forms>("forms");
        QTest::newRow("far past the end") << Cp932::Forms{{99999999, 0x4142}};
        QTest::newRow("just past the end") << Cp932::Forms{{12, 0x4142}};
        QTest::newRow("before the start") << Cp932::Forms{{-5, 0x4142}};
    }
    void formsOutsideTheTextAreIgnored()
    {
        QFETCH(Cp932::Forms, forms);
        const QString longer = QStringLiteral("Y<p>abc</p>ZXXXXXXXX");
        const Cp932::Encoded encoded =
            Cp932::encodePage(QStringView(longer).first(12), forms, Cp932::LineEnds::Lf);
        QCOMPARE(encoded.bytes, QByteArray("Y<p>abc</p>Z"));
    }

    void pageLineEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("own"); // Cp932::LineEnds
        QTest::addColumn<int>("forms");
        const int crlf = int(Cp932::LineEnds::CrLf), lf = int(Cp932::LineEnds::Lf),
                  cr = int(Cp932::LineEnds::Cr);
        // The rest of the rule is the text control's to show.
        QTest::newRow("no line end") << QByteArray("abc") << QString("abc") << crlf << 0;
        QTest::newRow("a tie, CR first") << QByteArray("a\rb\nc") << QString("a\nb\nc") << cr << 1;
        QTest::newRow("CR CR LF") << QByteArray("\r\r\n") << QString("\n\n") << cr << 1;
        // Long lines cross the sixteen-byte steps of the decoder.
        QTest::newRow("long lines")
            << QByteArray("0123456789abcdefghij\n0123456789abcdefghij\r\n0123456789abcdefghij\n")
            << QString("0123456789abcdefghij\n0123456789abcdefghij\n0123456789abcdefghij\n")
            << lf << 1;
    }

    void pageLineEnds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(int, own);
        QFETCH(int, forms);
        const Cp932::Page page = Cp932::decodePage(bytes);
        QCOMPARE(page.text, text);
        QCOMPARE(int(page.lineEnds), own);
        QCOMPARE(page.forms.size(), forms);
        QCOMPARE(Cp932::encodePage(page.text, page.forms, page.lineEnds).bytes, bytes);
        // A line end entered is the page's own.
        const QByteArray ownEnd = own == int(Cp932::LineEnds::CrLf) ? "\r\n"
                                  : own == int(Cp932::LineEnds::Cr) ? "\r"
                                                                    : "\n";
        QCOMPARE(Cp932::encodePage(page.text + "\n", page.forms, page.lineEnds).bytes,
                 bytes + ownEnd);
    }

    void keptBytesAreWrittenOnlyWhereTheyReadBack_data()
    {
        using Reason = Cp932::Unwritable::Reason;
        QTest::addColumn<QByteArray>("file");
        // The edit: at, removed, inserted.
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QList<Cp932::Unwritable>>("unwritable");
        using U = QList<Cp932::Unwritable>;
        QTest::newRow("untouched") << hex("61626382") << 0 << 0 << QString() << U{};
        QTest::newRow("a trail byte typed after a lone lead byte")
            << hex("61626382") << 4 << 0 << QString("a") << U{{4, 1, Reason::JoinsLoneByte, 0x82}};
        QTest::newRow("a space typed after it") << hex("61626382") << 4 << 0 << QString(" ") << U{};
        QTest::newRow("a double-byte character typed after it")
            << hex("8220") << 1 << 0 << QString::fromUtf16(u"\x3042")
            << U{{1, 1, Reason::JoinsLoneByte, 0x82}};
        QTest::newRow("the line end between removed")
            << hex("820D0A61") << 1 << 1 << QString() << U{{1, 1, Reason::JoinsLoneByte, 0x82}};
        QTest::newRow("typed escape") << hex("41") << 1 << 0 << QString(QChar(0xF801))
                                      << U{{1, 1, Reason::LoneByte, 0x81}};
        QTest::newRow("typed escape of a low byte") << hex("41") << 0 << 0 << QString(QChar(0xF7C0))
                                                    << U{{0, 1, Reason::LoneByte, 0x40}};
        QTest::newRow("an unassigned pair stays") << hex("854041") << 0 << 0 << QString() << U{};
        QTest::newRow("its lead removed, the trail byte stands alone")
            << hex("854041") << 0 << 1 << QString() << U{{0, 1, Reason::LoneByte, 0x40}};
        QTest::newRow("the first of two lead bytes removed")
            << hex("EF8140") << 0 << 1 << QString() << U{{1, 1, Reason::JoinsLoneByte, 0x81}};
        QTest::newRow("a kept trail byte after another lone lead byte")
            << hex("8220 8560") << 1 << 2 << QString() << U{{1, 1, Reason::JoinsLoneByte, 0x82}};
        QTest::newRow("two lone lead bytes that make no character")
            << hex("EF20 EF") << 1 << 1 << QString() << U{};
        // A lone CR and an LF brought together would read back as one CR LF.
        QTest::newRow("two line ends brought together") << QByteArray("a\rb\nc") << 2 << 1
                                                        << QString() << U{};
        // Written as a reference, the character leaves the lone byte alone.
        QTest::newRow("not in the code page after a lone lead byte")
            << hex("82") << 1 << 0 << QString::fromUtf16(u"\x00A5a")
            << U{{1, 1, Reason::NotInCodePage, 0}};
    }

    void keptBytesAreWrittenOnlyWhereTheyReadBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, at);
        QFETCH(int, removed);
        QFETCH(QString, inserted);
        QFETCH(QList<Cp932::Unwritable>, unwritable);
        Cp932::Page page = Cp932::decodePage(file);
        page.text.replace(at, removed, inserted);
        Cp932::followEdit(page.forms, at, removed, inserted.size());
        const Cp932::Encoded encoded = Cp932::encodePage(page.text, page.forms, page.lineEnds);
        QCOMPARE(encoded.unwritable, unwritable);
        QCOMPARE(encoded.ok(), unwritable.isEmpty());
        // What is written reads back as the text.
        if (encoded.ok())
            QCOMPARE(Cp932::decodePage(encoded.bytes).text, page.text);
    }

    // Written a piece at a time, a page is the bytes encodePage writes of it whole, wherever the
    // pieces end; a character the code page lacks is a reference rather than "?".
    void piecesAreWrittenAsThePageWhole_data()
    {
        QTest::addColumn<QByteArray>("file");
        // The edit: at, removed, inserted.
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QByteArray>("written"); // empty: as encodePage writes the whole
        QTest::newRow("twins of a pictograph page")
            << hex("EEBD 41 EE98 0D0A 42") << 0 << 0 << QString() << hex("EEBD 41 EE98 0D0A 42");
        QTest::newRow("a page of LF with one CR LF")
            << QByteArray("a\nb\r\nc\nd\n") << 0 << 0 << QString() << QByteArray("a\nb\r\nc\nd\n");
        QTest::newRow("a trail byte typed after a lone lead byte")
            << hex("8220") << 1 << 1 << QString("a") << QByteArray();
        QTest::newRow("a lone lead byte before a space")
            << hex("6182 2061") << 0 << 0 << QString() << hex("6182 2061");
        QTest::newRow("a lone CR and an LF brought together")
            << QByteArray("a\rb\nc\nd") << 2 << 1 << QString() << QByteArray();
        QTest::newRow("emoji before a twin")
            << hex("41 EEBD") << 1 << 0 << QString::fromUtf16(u"\U0001F600")
            << QByteArray("A&#128512;\xEE\xBD");
        QTest::newRow("not in the code page after a lone lead byte")
            << hex("82") << 1 << 0 << QString::fromUtf16(u"\u00A5a") << QByteArray("\x82&#165;a");
        QTest::newRow("a kept byte typed")
            << hex("41") << 1 << 0 << QString(QChar(0xF801)) << QByteArray("A?");
    }

    void piecesAreWrittenAsThePageWhole()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, at);
        QFETCH(int, removed);
        QFETCH(QString, inserted);
        QFETCH(QByteArray, written);
        Cp932::Page page = Cp932::decodePage(file);
        page.text.replace(at, removed, inserted);
        Cp932::followEdit(page.forms, at, removed, inserted.size());
        if (written.isEmpty())
            written = Cp932::encodePage(page.text, page.forms, page.lineEnds).bytes;
        for (qsizetype size = 1; size <= page.text.size(); ++size) {
            QList<QString> pieces;
            for (qsizetype from = 0; from < page.text.size(); from += size)
                pieces << page.text.mid(from, size);
            QByteArray bytes;
            Cp932::encodePageInPieces(pieces, page.forms, page.lineEnds,
                                      [&bytes](QByteArrayView part) { bytes += part; });
            QVERIFY2(bytes == written, qPrintable("pieces of " + QString::number(size)));
        }
    }

    // One rule writes every line end of a page: the save, the preview file and the UTF-8 copy.
    void lineEndBytes_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("own"); // Cp932::LineEnds
        QTest::addColumn<bool>("afterLoneCr");
        QTest::addColumn<int>("bytes");
        const int crlf = int(Cp932::LineEnds::CrLf), lf = int(Cp932::LineEnds::Lf),
                  cr = int(Cp932::LineEnds::Cr);
        QTest::newRow("own CR LF") << 0 << crlf << false << 0x0D0A;
        QTest::newRow("own CR") << 0 << cr << false << 0x0D;
        QTest::newRow("own LF") << 0 << lf << false << 0x0A;
        QTest::newRow("kept LF on a CR LF page") << 0x0A << crlf << false << 0x0A;
        QTest::newRow("kept CR on an LF page") << 0x0D << lf << false << 0x0D;
        QTest::newRow("kept CR LF on a CR page") << 0x0D0A << cr << false << 0x0D0A;
        QTest::newRow("a byte form is no line end's") << 0x8140 << cr << false << 0x0D;
        QTest::newRow("own LF after a lone CR") << 0 << lf << true << 0x0D0A;
        QTest::newRow("kept LF after a lone CR") << 0x0A << crlf << true << 0x0D0A;
        QTest::newRow("CR after a lone CR") << 0x0D << lf << true << 0x0D;
    }
    void lineEndBytes()
    {
        QFETCH(int, form);
        QFETCH(int, own);
        QFETCH(bool, afterLoneCr);
        QFETCH(int, bytes);
        QCOMPARE(int(Cp932::lineEndBytes(quint16(form), Cp932::LineEnds(own), afterLoneCr)), bytes);
    }

    void userDefinedAreaRoundTrips()
    {
        QByteArray bytes;
        QString expected;
        for (int lead = 0xF0; lead <= 0xF9; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F)
                    continue;
                bytes += char(lead);
                bytes += char(trail);
                expected += QChar(userDefined(lead, trail));
            }
        }
        QCOMPARE(expected.size(), 1880);
        QCOMPARE(expected.front().unicode(), u'\xE000');
        QCOMPARE(expected.back().unicode(), u'\xE757');
        QCOMPARE(Cp932::decode(hex("F89F")), QString(QChar(0xE63E))); // first i-mode pictograph
        QCOMPARE(Cp932::decode(bytes), expected);
        const Cp932::Encoded encoded = Cp932::encode(expected);
        QVERIFY(encoded.ok());
        QCOMPARE(encoded.bytes, bytes);
    }

    void singleBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("80") << hex("80") << QString(QChar(0x0080));
        QTest::newRow("A0") << hex("A0") << QString(QChar(0xF8F0));
        QTest::newRow("FD FE FF") << hex("FDFEFF") << QString::fromUtf16(u"\xF8F1\xF8F2\xF8F3");
        QTest::newRow("half-width kana ends") << hex("A1DF") << QString::fromUtf16(u"\xFF61\xFF9F");
        QTest::newRow("control codes stay in place")
            << hex("001A1C7F") << QString::fromUtf16(u"\x0000\x001A\x001C\x007F", 4);
        QTest::newRow("backslash and tilde") << hex("5C7E") << QStringLiteral("\\~");
        QTest::newRow("line ends") << hex("410D0A420A") << QStringLiteral("A\r\nB\n");
    }

    void singleBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(Cp932::decode(bytes), text);
        const Cp932::Encoded encoded = Cp932::encode(text);
        QVERIFY(encoded.ok());
        QCOMPARE(encoded.bytes, bytes);
    }

    // Bytes that are not code page 932 come back as escapes U+F780 + byte and are written
    // back unchanged.
    void invalidBytesRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("lead, space") << hex("8120") << escape(0x81) + u' ';
        QTest::newRow("lead, DEL") << hex("817F") << escape(0x81) + QChar(0x7F);
        QTest::newRow("lead, FD") << hex("81FD") << escape(0x81) + QChar(0xF8F1);
        QTest::newRow("lead, line end") << hex("810D0A") << escape(0x81) + QStringLiteral("\r\n");
        QTest::newRow("lead at the end") << hex("4182") << u'A' + escape(0x82);
        QTest::newRow("pair, then lead at the end")
            << hex("818181") << QChar(0xFF1D) + escape(0x81);
        QTest::newRow("bad lead, then a pair")
            << hex("E02082A0") << escape(0xE0) + u' ' + QChar(0x3042);
        QTest::newRow("unassigned pair, low trail")
            << hex("854041") << escape(0x85) + escape(0x40) + u'A';
        QTest::newRow("unassigned pair, kana-range trail")
            << hex("EBA1") << escape(0xEB) + escape(0xA1);
        QTest::newRow("unassigned pair, trail is a lead")
            << hex("EF8140") << escape(0xEF) + escape(0x81) + u'@';
    }

    void invalidBytesRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(Cp932::decode(bytes), text);
        QVERIFY(Cp932::canEncode(text));
        const Cp932::Encoded encoded = Cp932::encode(text);
        QVERIFY(encoded.ok());
        QCOMPARE(encoded.bytes, bytes);
    }

    void everyTwoByteInputRoundTrips()
    {
        QStringList failures;
        for (int first = 0; first < 256; ++first) {
            for (int second = 0; second < 256; ++second) {
                const char pair[2] = {char(first), char(second)};
                const QByteArray bytes(pair, 2);
                const auto it = table.constFind(quint16(first << 8 | second));
                const QByteArray expected =
                    first > 0 && it != table.cend() ? bytesOf(preferred[it.value()]) : bytes;
                const Cp932::Encoded encoded = Cp932::encode(Cp932::decode(bytes));
                if (encoded.bytes != expected || !encoded.ok())
                    failures << QString::fromLatin1(bytes.toHex());
                // Read as a page, every input comes back byte for byte.
                const Cp932::Page page = Cp932::decodePage(bytes);
                const Cp932::Encoded back = Cp932::encodePage(page.text, page.forms, page.lineEnds);
                if (back.bytes != bytes || !back.ok())
                    failures << "page " + QString::fromLatin1(bytes.toHex());
            }
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 20).join(' ')));
    }

    void randomBytesRoundTrip()
    {
        QRandomGenerator random(932);
        for (int round = 0; round < 2000; ++round) {
            QByteArray any(random.bounded(1, 48), Qt::Uninitialized);
            QByteArray unique = any;
            for (qsizetype i = 0; i < any.size(); ++i) {
                any[i] = char(random.bounded(256));
                // Without these bytes no sequence has a preferred twin elsewhere.
                do
                    unique[i] = char(random.bounded(256));
                while (QByteArrayView("\x87\xED\xEE\xFA\xFB\xFC").contains(unique[i]));
            }
            const QString text = Cp932::decode(any);
            const Cp932::Encoded encoded = Cp932::encode(text);
            QVERIFY(encoded.ok());
            QCOMPARE(encoded.bytes.size(), any.size());
            QCOMPARE(Cp932::decode(encoded.bytes), text);
            QCOMPARE(Cp932::encode(Cp932::decode(unique)).bytes, unique);
            // Read as a page, any bytes come back as they were.
            const Cp932::Page page = Cp932::decodePage(any);
            const Cp932::Encoded back = Cp932::encodePage(page.text, page.forms, page.lineEnds);
            QVERIFY(back.ok());
            QCOMPARE(back.bytes, any);
        }
    }

    void longMarkupEncodesAsCharacterByCharacter()
    {
        // Runs of ASCII of every length, against line ends, DEL, Latin-1 and double-byte
        // characters: the whole text must encode as its characters do one by one.
        const QStringList pieces = {"<", "a", "\n", QString(QChar(0x7F)), QString(QChar(0x80)),
                                    QString(QChar(0xFF80)), QString(QChar(0x3042)),
                                    QString(QChar(0xE63E)), QString(QChar(0x00A9)), "\r"};
        QRandomGenerator random(5);
        for (int round = 0; round < 300; ++round) {
            QString text;
            QByteArray expectedAsIs, expectedCrLf;
            for (int piece = 0; piece < 40; ++piece) {
                QString part = QString(int(random.bounded(0, 20)), QLatin1Char('x'));
                part += pieces.at(int(random.bounded(pieces.size())));
                for (const QChar c : std::as_const(part)) {
                    const Cp932::Encoded one = Cp932::encode(QString(c));
                    expectedAsIs += one.bytes;
                    expectedCrLf += c == QLatin1Char('\n') ? QByteArray("\r\n") : one.bytes;
                }
                text += part;
            }
            const Cp932::Encoded asIs = Cp932::encode(text);
            QCOMPARE(asIs.bytes, expectedAsIs);
            QCOMPARE(asIs.unencodable.isEmpty(), !text.contains(QChar(0x00A9)));
            QCOMPARE(Cp932::encode(text, Cp932::LineEnds::CrLf).bytes, expectedCrLf);
        }
    }

    void longPagesDecodeAsTheirPieces()
    {
        // Runs of ASCII of every length between whole characters of every kind: the page
        // decodes as its pieces do one by one.
        const QList<QByteArray> pieces = {"\x82\xA0", "\xB1", "\x81\x20", "\xF0\x40", "\x80",
                                          "\xFF", "\r\n", "\x7F", "\x85\x40"};
        QRandomGenerator random(16);
        for (int round = 0; round < 300; ++round) {
            QByteArray page;
            QString expected;
            for (int piece = 0; piece < 40; ++piece) {
                const QByteArray ascii(int(random.bounded(0, 40)), 'a' + char(random.bounded(26)));
                const QByteArray other = pieces.at(int(random.bounded(pieces.size())));
                page += ascii + other;
                expected += Cp932::decode(ascii) + Cp932::decode(other);
            }
            QCOMPARE(Cp932::decode(page), expected);
            QCOMPARE(Cp932::encode(expected).bytes.size(), page.size());
        }
    }

    void jisSideCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("wave dash") << QString(QChar(0x301C)) << hex("8160");
        QTest::newRow("double vertical line") << QString(QChar(0x2016)) << hex("8161");
        QTest::newRow("minus sign") << QString(QChar(0x2212)) << hex("817C");
        QTest::newRow("cent sign") << QString(QChar(0x00A2)) << hex("8191");
        QTest::newRow("pound sign") << QString(QChar(0x00A3)) << hex("8192");
        QTest::newRow("not sign") << QString(QChar(0x00AC)) << hex("81CA");
        QTest::newRow("em dash") << QString(QChar(0x2014)) << hex("815C");
        QTest::newRow("broken bar") << QString(QChar(0x00A6)) << hex("FA55");
    }

    void jisSideCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QVERIFY(Cp932::canEncode(text));
        const Cp932::Encoded encoded = Cp932::encode(QLatin1Char('a') + text + QLatin1Char('b'));
        QVERIFY(encoded.ok());
        QCOMPARE(encoded.bytes, "a" + bytes + "b");
    }

    void unencodable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("unencodable");
        QTest::addColumn<QString>("references");
        QTest::newRow("yen sign") << QString::fromUtf16(u"a\x00A5") << QByteArray("a?")
                                  << QString::fromUtf16(u"\x00A5") << QStringLiteral("a&#165;");
        QTest::newRow("overline") << QString::fromUtf16(u"\x203E") << QByteArray("?")
                                  << QString::fromUtf16(u"\x203E") << QStringLiteral("&#8254;");
        QTest::newRow("emoji twice, reported once")
            << QString::fromUtf16(u"x\U0001F600y\U0001F600") << QByteArray("x?y?")
            << QString::fromUtf16(u"\U0001F600") << QStringLiteral("x&#128512;y&#128512;");
        QTest::newRow("order of first appearance")
            << QString::fromUtf16(u"\x00E9\x3042\U0001F600\x00E9\x00A0")
            << (QByteArray("?") + hex("82A0") + "???")
            << QString::fromUtf16(u"\x00E9\U0001F600\x00A0")
            << QString::fromUtf16(u"&#233;\x3042&#128512;&#233;&#160;");
        QTest::newRow("lone surrogates")
            << QString::fromUtf16(u"\xDE00"
                                  u"a\xD83D",
                                  3)
            << QByteArray("?a?") << QString::fromUtf16(u"\xDE00\xD83D", 2)
            << QStringLiteral("&#56832;a&#55357;");
        QTest::newRow("soft hyphen and zero width joiner")
            << QString::fromUtf16(u"\x00AD\x200D") << QByteArray("??")
            << QString::fromUtf16(u"\x00AD\x200D") << QStringLiteral("&#173;&#8205;");
        QTest::newRow("private use outside the user-defined area")
            << QString::fromUtf16(u"\xE758\xF8F4") << QByteArray("??")
            << QString::fromUtf16(u"\xE758\xF8F4") << QStringLiteral("&#59224;&#63732;");
    }

    void unencodable()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, unencodable);
        QFETCH(QString, references);
        const Cp932::Encoded encoded = Cp932::encode(text);
        QVERIFY(!encoded.ok());
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(encoded.unencodable, unencodable);
        QVERIFY(!Cp932::canEncode(text));
        const QString withReferences = Cp932::withCharacterReferences(text);
        QCOMPARE(withReferences, references);
        QVERIFY(Cp932::canEncode(withReferences));
    }

    void encodableTextIsLeftAlone()
    {
        const QString text = QString::fromUtf16(u"<p>\x3042\xE63E\xF801\r\n");
        QVERIFY(Cp932::canEncode(text));
        QCOMPARE(Cp932::withCharacterReferences(text), text);
        QCOMPARE(Cp932::decode(QByteArrayView()), QString());
        QVERIFY(Cp932::encode(QStringView()).bytes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"

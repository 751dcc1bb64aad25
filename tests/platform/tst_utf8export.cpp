#include "platform/Cp932.h"
#include "platform/PictographMarkup.h"
#include "platform/Pictographs.h"
#include "platform/Utf8Export.h"

#include <QTest>

namespace {

struct Expected
{
    int emoji = 0, images = 0, names = 0, invalid = 0;
    QList<int> lines;
    QList<uint> pictures;
    int charsets = 0;
    bool inserted = false;
};

QString emoji(char16_t sjis) { return Pictographs::bySjis(sjis)->emoji; }
QString picture(char16_t sjis, const QString &alt)
{
    return QStringLiteral("<img src=\"emoji/%1.gif\" alt=\"%2\">").arg(uint(sjis)).arg(alt);
}

// The page as the editor holds it once read from its file.
Utf8Export::Copy exported(const QByteArray &file)
{
    const Cp932::Page page = Cp932::decodePage(file);
    return Utf8Export::convert(page.text, {page.lineEnds, page.forms});
}

const QByteArray head = "<head><meta charset=\"Shift_JIS\"></head>\r\n";
const QString utf8Head = QStringLiteral("<head><meta charset=\"UTF-8\"></head>\r\n");

} // namespace

Q_DECLARE_METATYPE(Expected)

class TestUtf8Export : public QObject
{
    Q_OBJECT

private slots:
    void pagesAreCopied_data();
    void pagesAreCopied();
    void theCopyIsNamedAfterThePage_data();
    void theCopyIsNamedAfterThePage();
};

void TestUtf8Export::pagesAreCopied_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("copy");
    QTest::addColumn<Expected>("report");

    const QString fine = emoji(0xF89F), sun = emoji(0xF660);
    const QString imode = QStringLiteral("iモード");
    QTest::newRow("docomo, every form")
        << head + "\xF8\x9F &#63647; &#xF89F; &#xE63E; &#58942;"
        << utf8Head + QStringList(5, fine).join(u' ') << Expected{.emoji = 5, .charsets = 1};
    QTest::newRow("au, every form")
        << head + "\xF6\x60 &#63072; &#XF660 &#xe488; &#58504;"
        << utf8Head + QStringList(5, sun).join(u' ') << Expected{.emoji = 5, .charsets = 1};
    QTest::newRow("no emoji: its picture, copied once")
        << head + "<p>\xF9\x75&#63861;</p>"
        << utf8Head + "<p>" + picture(0xF975, imode) + picture(0xF975, imode) + "</p>"
        << Expected{.images = 2, .pictures = {63861}, .charsets = 1};
    QTest::newRow("no emoji and no name")
        << head + "&#63818;<a title=\"&#63818;\">"
        << utf8Head + picture(0xF94A, "") + "<a title=\"〓\">"
        << Expected{.images = 1, .names = 1, .pictures = {63818}, .charsets = 1};
    QTest::newRow("in attributes: the emoji, else the name")
        << head + "<a title=\"&#63647;\"><img alt=\"\xF9\x75\" src=x.gif></a>"
        << utf8Head + "<a title=\"" + fine + "\"><img alt=\"" + imode + "\" src=x.gif></a>"
        << Expected{.emoji = 1, .names = 1, .charsets = 1};
    QTest::newRow("where no picture can stand")
        << head + "<TITLE>&#63861;</TITLE><!-- \xF9\x75 --><script>s='&#63861;&#63647;'</script>"
                  "<textarea>&#63861;</textarea>&#63072;"
        << utf8Head + "<TITLE>" + imode + "</TITLE><!-- " + imode + " --><script>s='" + imode +
               fine + "'</script><textarea>" + imode + "</textarea>" + sun
        << Expected{.emoji = 2, .names = 4, .charsets = 1};
    QTest::newRow("other references stay")
        << head + "&#12354;&#x3042;&amp;&#;&#x;&#xE000;&#0005894212345;"
        << utf8Head + "&#12354;&#x3042;&amp;&#;&#x;&#xE000;&#0005894212345;"
        << Expected{.charsets = 1};
    QTest::newRow("kanji, kana and half-width kana as themselves")
        << head + "\x8A\xBF\x82\xA0\xB1\x81\x60"
        << utf8Head + QStringLiteral("漢あｱ～") << Expected{.charsets = 1};
    QTest::newRow("invalid bytes")
        << head + "a\x81\r\nok\r\nb\x82\x20\x9F"
        << utf8Head + QStringLiteral("a\uFFFD\r\nok\r\nb\uFFFD \uFFFD")
        << Expected{.invalid = 3, .lines = {2, 4}, .charsets = 1};

    // Declarations.
    const QString meta = QStringLiteral("<meta charset=\"UTF-8\">");
    QTest::newRow("http-equiv Shift_JIS")
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">")
        << QString("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">")
        << Expected{.charsets = 1};
    for (const char *name : {"shift_jis", "SHIFT-JIS", "x-sjis", "Windows-31J"}) {
        QTest::addRow("meta charset %s", name)
            << "<HEAD><META CHARSET='" + QByteArray(name) + "'>"
            << QString("<HEAD><META CHARSET='UTF-8'>") << Expected{.charsets = 1};
    }
    QTest::newRow("http-equiv, two spaces, no quotes")
        << QByteArray("<meta http-equiv=Content-Type content=text/html;charset = x-sjis>")
        << QString("<meta http-equiv=Content-Type content=text/html;charset = UTF-8>")
        << Expected{.charsets = 1};
    QTest::newRow("already UTF-8") << QByteArray("<head><meta charset=utf-8>")
                                   << QString("<head><meta charset=utf-8>") << Expected{};
    QTest::newRow("another charset") << QByteArray("<meta charset=\"EUC-JP\">")
                                     << QString(meta) << Expected{.charsets = 1};
    QTest::newRow("none: after the head")
        << QByteArray("<html>\r\n<head lang=\"ja\">\r\n<title>t</title>\r\n</head>")
        << "<html>\r\n<head lang=\"ja\">" + meta + "\r\n<title>t</title>\r\n</head>"
        << Expected{.inserted = true};
    QTest::newRow("none, no head: at the start")
        << QByteArray("<header>x</header>") << meta + "<header>x</header>"
        << Expected{.inserted = true};
    QTest::newRow("none, no head: after the document type")
        << QByteArray("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<!DOCTYPE html>\r\n<body>")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE html>" + meta + "\r\n<body>"
        << Expected{.charsets = 1, .inserted = true};
    QTest::newRow("one in a comment does not count")
        << QByteArray("<!-- <meta charset=\"Shift_JIS\"> --><head>")
        << "<!-- <meta charset=\"Shift_JIS\"> --><head>" + meta << Expected{.inserted = true};
    QTest::newRow("empty page") << QByteArray() << meta << Expected{.inserted = true};

    // Line ends as the page has them.
    QTest::newRow("LF") << head.chopped(2) + "\na\n" << utf8Head.chopped(2) + "\na\n"
                        << Expected{.charsets = 1};
    QTest::newRow("CR") << head.chopped(2) + "\ra\r" << utf8Head.chopped(2) + "\ra\r"
                        << Expected{.charsets = 1};
    QTest::newRow("mixed") << head + "a\nb\rc\r\n\xF8\x9F\n"
                           << utf8Head + "a\nb\rc\r\n" + fine + "\n" << Expected{.emoji = 1, .charsets = 1};
}

void TestUtf8Export::pagesAreCopied()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, copy);
    QFETCH(Expected, report);
    const Utf8Export::Copy made = exported(page);
    // Read back as UTF-8, the copy is exactly what is expected, with no byte order mark.
    QCOMPARE(QString::fromUtf8(made.bytes), copy);
    QVERIFY(!made.bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(made.bytes, copy.toUtf8());
    // No form of any pictograph is left for a browser to get wrong.
    QCOMPARE(PictographMarkup::mapForPreview(made.bytes, [](const Pictograph &) { return "GIF"; }),
             made.bytes);

    const Utf8Export::Report &r = made.report;
    QCOMPARE(r.emoji, report.emoji);
    QCOMPARE(r.images, report.images);
    QCOMPARE(r.names, report.names);
    QCOMPARE(r.invalidBytes, report.invalid);
    QCOMPARE(r.invalidLines, report.lines);
    QList<uint> pictures;
    for (const Pictograph *p : r.pictures)
        pictures << p->sjis;
    QCOMPARE(pictures, report.pictures);
    QCOMPARE(r.charsetsChanged, report.charsets);
    QCOMPARE(r.charsetInserted, report.inserted);
}

void TestUtf8Export::theCopyIsNamedAfterThePage_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("copy");
    QTest::newRow("html") << "/p/top.html" << "/p/top-utf8.html";
    QTest::newRow("last extension") << "/p/top.en.htm" << "/p/top.en-utf8.htm";
    QTest::newRow("dot in the folder only") << "/p.d/top" << "/p.d/top-utf8";
    QTest::newRow("dot file") << "/p/.page" << "/p/.page-utf8";
    QTest::newRow("new page") << "新しいファイル" << "新しいファイル-utf8";
}

void TestUtf8Export::theCopyIsNamedAfterThePage()
{
    QFETCH(QString, page);
    QTEST(Utf8Export::proposedName(page), "copy");
}

QTEST_GUILESS_MAIN(TestUtf8Export)
#include "tst_utf8export.moc"

#include "text/Cp932.h"
#include "text/PictographMarkup.h"
#include "text/Pictographs.h"
#include "text/Utf8Export.h"

#include <QTest>

class TestUtf8Export : public QObject
{
    Q_OBJECT
private slots:
    void pagesAreCopied_data()
    {
        QTest::addColumn<QByteArray>("page"); // the file, as the editor reads it
        QTest::addColumn<QString>("copy");
        const QByteArray head = "<head><meta charset=Shift_JIS></head>\r\n";
        const QString utf8 = "<head><meta charset=UTF-8></head>\r\n";
        const QString meta = "<meta charset=\"UTF-8\">";
        const QString fine = Pictographs::bySjis(0xF89F)->emoji,
                      sun = Pictographs::bySjis(0xF660)->emoji;
        const QString imode = "<img src=\"emoji/63861.gif\" alt=\"iモード\">",
                      nameless = "<img src=\"emoji/63818.gif\" alt=\"\">";
        QTest::newRow("every form, both carriers")
            << head + "\xF8\x9F &#63647; &#xF89F; &#xE63E; &#58942;|\xF6\x60 &#63072; &#XF660 "
                      "&#xe488; &#58504;"
            << utf8 + QStringList(5, fine).join(u' ') + "|" + QStringList(5, sun).join(u' ');
        // au's image form: the image becomes the emoji, or a picture of its own; the rest stays.
        QTest::newRow("localsrc")
            << head + "<p align=center><IMG SRC=\"a.gif\" LocalSrc='44'\r\nalt=\"x\">&#63072;"
                      "<img localsrc=\"500\"/><img localsrc=9999><img src=\"44.gif\"></p>"
            << utf8 + "<p align=center>" + sun + sun +
                   "<img src=\"emoji/63442.gif\" alt=\"オープンウェーブ\">"
                   "<img localsrc=9999><img src=\"44.gif\"></p>";
        QTest::newRow("no emoji: a picture")
            << head + "\xF9\x75&#63861;&#63818;" << utf8 + imode + imode + nameless;
        QTest::newRow("where no picture can stand")
            << head + "<a title=\"&#63647;\" alt='\xF9\x75&#63818;'><TITLE>&#63861;</TITLE><!-- "
                      "\xF9\x75 -->"
                      "<script>s='&#63861;'</script><textarea>&#63861;</textarea>"
            << utf8 + "<a title=\"" + fine +
                   "\" alt='iモード〓'><TITLE>iモード</TITLE><!-- iモード -->"
                   "<script>s='iモード'</script><textarea>iモード</textarea>";
        QTest::newRow("everything else as itself")
            << head + "&#12354;&#x3042;&amp;&#;&#xE000;&#0005894212345;\x8A\xBF\xB1\x81\x60"
            << utf8 + "&#12354;&#x3042;&amp;&#;&#xE000;&#0005894212345;漢ｱ～";
        QTest::newRow("invalid bytes")
            << head + "a\x81\r\nb\x82\x20\x9F" << utf8 + "a\uFFFD\r\nb\uFFFD \uFFFD";
        // A0 and FD-FF (U+F8F0-U+F8F3) and the user-defined characters (F040-F9FC, from
        // U+E000) have no meaning outside the phone; a reference stays as written.
        QTest::newRow("private use") << head + "a\xA0\xFD\r\n\xF0\x40\xF8\x9F\xF5\x40&#xE000;"
                                     << utf8 + "a\uFFFD\uFFFD\r\n\uFFFD" + fine + "\uFFFD&#xE000;";
        QTest::newRow("http-equiv")
            << QByteArray("<meta http-equiv=Content-Type content='text/html; charset = Shift_JIS'>")
            << QString("<meta http-equiv=Content-Type content='text/html; charset = UTF-8'>");
        for (const char *name : {"shift_jis", "SHIFT-JIS", "x-sjis", "Windows-31J", "EUC-JP"})
            QTest::addRow("meta charset %s", name) << "<META CHARSET=\"" + QByteArray(name) + "\">"
                                                   << QString("<META CHARSET=\"UTF-8\">");
        QTest::newRow("already UTF-8")
            << QByteArray("<meta charset=utf8>") << QString("<meta charset=utf8>");
        QTest::newRow("none: after the head") << QByteArray("<html>\r\n<head lang=ja>\r\n</head>")
                                              << "<html>\r\n<head lang=ja>" + meta + "\r\n</head>";
        QTest::newRow("none, no head: at the start")
            << QByteArray("<header><!-- <meta charset=x-sjis> -->")
            << meta + "<header><!-- <meta charset=x-sjis> -->";
        QTest::newRow("none, no head: after the document type")
            << QByteArray(
                   "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<!DOCTYPE html>\r\n<body>")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE html>" + meta +
                   "\r\n<body>";
        QTest::newRow("empty") << QByteArray() << meta;
        // Line ends as the page has them: its own (LF here) and those that differ.
        QTest::newRow("line ends") << head + "a\nb\rc\n\n\xF8\x9F\n"
                                   << utf8 + "a\nb\rc\n\n" + fine + "\n";
    }
    // A line end kept as a lone CR, and the page's own LF that an edit put right after it,
    // stay two line ends in the copy.
    void aLoneCrAndALoneLfStayTwo()
    {
        const QByteArray made = Utf8Export::convert(QStringLiteral("a\n\nb"),
                                                    {Cp932::LineEnds::Lf, {Cp932::Form{1, 0x0D}}})
                                    .bytes;
        QVERIFY2(made.endsWith("a\r\r\nb"), made.constData());
    }
    void pagesAreCopied()
    {
        QFETCH(QByteArray, page);
        QFETCH(QString, copy);
        const Cp932::Page read = Cp932::decodePage(page);
        const QByteArray made = Utf8Export::convert(read.text, {read.lineEnds, read.forms}).bytes;
        // Read back as UTF-8, the copy is exactly what is expected; no byte order mark, and no
        // form of a pictograph left for a browser to get wrong.
        QCOMPARE(QString::fromUtf8(made), copy);
        QCOMPARE(made, copy.toUtf8());
        QCOMPARE(PictographMarkup::mapForPreview(made, [](const Pictograph &) { return "GIF"; }),
                 made);
    }

    void theReportCountsWhatWasDone()
    {
        const QByteArray page = "\xF8\x9F&#63647;&#63861;\xF9\x75&#63818;<a title=&#63861;>\r\n"
                                "\x81\r\n\x82\r\n\xF0\x40";
        const Utf8Export::Report r = Utf8Export::convert(Cp932::decodePage(page).text).report;
        QCOMPARE(QList<int>({r.emoji, r.images, r.names, r.invalidBytes, r.charsetsChanged}),
                 QList<int>({2, 3, 1, 3, 0}));
        QCOMPARE(r.invalidLines, QList<int>({2, 3, 4}));
        QCOMPARE(r.pictures, QList<const Pictograph *>(
                                 {Pictographs::bySjis(0xF975), Pictographs::bySjis(0xF94A)}));
        QVERIFY(r.charsetInserted);
        QCOMPARE(Utf8Export::proposedName("/p.d/a.en.htm") + Utf8Export::proposedName("/p.d/.page"),
                 "/p.d/a.en-utf8.htm/p.d/.page-utf8");
    }
};

QTEST_GUILESS_MAIN(TestUtf8Export)
#include "tst_utf8export.moc"

#include "platform/Cp932.h"
#include "platform/PictographMarkup.h"
#include "platform/Pictographs.h"
#include "platform/Utf8Export.h"

#include <QTest>

namespace {
QString emoji(char16_t sjis)
{
    return Pictographs::bySjis(sjis)->emoji;
}
QString img(uint decimal, const QString &alt)
{
    return QStringLiteral("<img src=\"emoji/%1.gif\" alt=\"%2\">").arg(decimal).arg(alt);
}
// The report in short: "emoji images names invalid [lines] [pictures] charsets inserted".
QString summary(const Utf8Export::Report &r)
{
    QStringList lines, pictures;
    for (int line : r.invalidLines)
        lines << QString::number(line);
    for (const Pictograph *p : r.pictures)
        pictures << QString::number(p->sjis);
    return QStringLiteral("%1 %2 %3 %4 [%5] [%6] %7 %8")
        .arg(r.emoji)
        .arg(r.images)
        .arg(r.names)
        .arg(r.invalidBytes)
        .arg(lines.join(u' '), pictures.join(u' '))
        .arg(r.charsetsChanged)
        .arg(r.charsetInserted ? "true" : "false");
}
const QByteArray head = "<head><meta charset=Shift_JIS></head>\r\n";
const QString utf8Head = QStringLiteral("<head><meta charset=UTF-8></head>\r\n");
const QString meta = QStringLiteral("<meta charset=\"UTF-8\">");
} // namespace

class TestUtf8Export : public QObject
{
    Q_OBJECT
private slots:
    void pagesAreCopied_data()
    {
        QTest::addColumn<QByteArray>("page"); // the file, as the editor reads it
        QTest::addColumn<QString>("copy");
        QTest::addColumn<QString>("report");
        const QString fine = emoji(0xF89F), sun = emoji(0xF660), imode = QStringLiteral("iモード");
        QTest::newRow("docomo, every form")
            << head + "\xF8\x9F &#63647; &#xF89F; &#xE63E; &#58942;"
            << utf8Head + QStringList(5, fine).join(u' ') << "5 0 0 0 [] [] 1 false";
        QTest::newRow("au, every form")
            << head + "\xF6\x60 &#63072; &#XF660 &#xe488; &#58504;"
            << utf8Head + QStringList(5, sun).join(u' ') << "5 0 0 0 [] [] 1 false";
        QTest::newRow("no emoji: a picture, copied once")
            << head + "\xF9\x75&#63861;&#63818;"
            << utf8Head + img(63861, imode) + img(63861, imode) + img(63818, "")
            << "0 3 0 0 [] [63861 63818] 1 false";
        QTest::newRow("where no picture can stand")
            << head + "<a title=\"&#63647;\" alt='\xF9\x75&#63818;'><TITLE>&#63861;</TITLE>"
                      "<!-- \xF9\x75 --><script>s='&#63861;'</script><textarea>&#63861;</textarea>"
                      "&#63072;"
            << utf8Head + "<a title=\"" + fine + "\" alt='" + imode + "〓'><TITLE>" + imode +
                   "</TITLE><!-- " + imode + " --><script>s='" + imode + "'</script><textarea>" +
                   imode + "</textarea>" + sun
            << "2 0 6 0 [] [] 1 false";
        QTest::newRow("everything else as itself")
            << head + "&#12354;&#x3042;&amp;&#;&#xE000;&#0005894212345;\x8A\xBF\xB1\x81\x60"
            << utf8Head + QStringLiteral("&#12354;&#x3042;&amp;&#;&#xE000;&#0005894212345;漢ｱ～")
            << "0 0 0 0 [] [] 1 false";
        QTest::newRow("invalid bytes")
            << head + "a\x81\r\nok\r\nb\x82\x20\x9F"
            << utf8Head + QStringLiteral("a\uFFFD\r\nok\r\nb\uFFFD \uFFFD")
            << "0 0 0 3 [2 4] [] 1 false";
        QTest::newRow("http-equiv")
            << QByteArray("<meta http-equiv=Content-Type content='text/html; charset = Shift_JIS'>")
            << QString("<meta http-equiv=Content-Type content='text/html; charset = UTF-8'>")
            << "0 0 0 0 [] [] 1 false";
        for (const char *name : {"shift_jis", "SHIFT-JIS", "x-sjis", "Windows-31J", "EUC-JP"})
            QTest::addRow("meta charset %s", name)
                << "<META CHARSET=\"" + QByteArray(name) + "\">"
                << QString("<META CHARSET=\"UTF-8\">") << "0 0 0 0 [] [] 1 false";
        QTest::newRow("already UTF-8")
            << QByteArray("<meta charset=utf-8>") << QString("<meta charset=utf-8>")
            << "0 0 0 0 [] [] 0 false";
        QTest::newRow("none: after the head") << QByteArray("<html>\r\n<head lang=ja>\r\n</head>")
                                              << "<html>\r\n<head lang=ja>" + meta + "\r\n</head>"
                                              << "0 0 0 0 [] [] 0 true";
        QTest::newRow("none, no head: at the start")
            << QByteArray("<header><!-- <meta charset=x-sjis> -->")
            << meta + "<header><!-- <meta charset=x-sjis> -->"
            << "0 0 0 0 [] [] 0 true";
        QTest::newRow("none, no head: after the document type")
            << QByteArray(
                   "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<!DOCTYPE html>\r\n<body>")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE html>" + meta + "\r\n<body>"
            << "0 0 0 0 [] [] 1 true";
        QTest::newRow("empty") << QByteArray() << meta << "0 0 0 0 [] [] 0 true";
        QTest::newRow("LF") << head.chopped(2) + "\na\n"
                            << utf8Head.chopped(2) + "\na\n"
                            << "0 0 0 0 [] [] 1 false";
        QTest::newRow("CR") << head.chopped(2) + "\ra\r" << utf8Head.chopped(2) + "\ra\r"
                            << "0 0 0 0 [] [] 1 false";
        QTest::newRow("mixed") << head + "a\nb\rc\r\n"
                               << utf8Head + "a\nb\rc\r\n"
                               << "0 0 0 0 [] [] 1 false";
    }
    void pagesAreCopied()
    {
        QFETCH(QByteArray, page);
        QFETCH(QString, copy);
        const Cp932::Page read = Cp932::decodePage(page);
        const Utf8Export::Copy made = Utf8Export::convert(read.text, {read.lineEnds, read.forms});
        // Read back as UTF-8, the copy is exactly what is expected; no byte order mark, and no
        // form of a pictograph left for a browser to get wrong.
        QCOMPARE(QString::fromUtf8(made.bytes), copy);
        QCOMPARE(made.bytes, copy.toUtf8());
        QCOMPARE(
            PictographMarkup::mapForPreview(made.bytes, [](const Pictograph &) { return "GIF"; }),
            made.bytes);
        QTEST(summary(made.report), "report");
    }

    void theCopyIsNamedAfterThePage()
    {
        const QStringList names = {"/p/top.html",      "/p/top-utf8.html", "/p/a.en.htm",
                                   "/p/a.en-utf8.htm", "/p.d/top",         "/p.d/top-utf8",
                                   "/p/.page",         "/p/.page-utf8"};
        for (qsizetype i = 0; i < names.size(); i += 2)
            QCOMPARE(Utf8Export::proposedName(names[i]), names[i + 1]);
    }
};

QTEST_GUILESS_MAIN(TestUtf8Export)
#include "tst_utf8export.moc"

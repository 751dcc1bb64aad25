#include "tools/TagColor.h"

#include <QTest>

namespace {
constexpr quint32 DarkRed = 0x000080, Purple = 0x800080, Navy = 0x800000, Orange = 0x0040C0,
                  Green = 0x008000, Teal = 0x808000, LightBlue = 0xFF8080, Olive = 0x008080,
                  Grey = 0x404040;
} // namespace

class TestTagColor : public QObject
{
    Q_OBJECT

private slots:
    void colorFor_data();
    void colorFor();
    void spans_data();
    void spans();
    void largeTexts_data();
    void largeTexts();
};

void TestTagColor::colorFor_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<quint32>("color");

    QTest::newRow("comment") << "<!-- note -->" << DarkRed;
    QTest::newRow("declaration") << "<!DOCTYPE html>" << DarkRed;
    QTest::newRow("A") << "<A>" << Purple;
    QTest::newRow("a href") << "<a href=x>" << Purple;
    QTest::newRow("end A") << "</A>" << Purple;
    QTest::newRow("B") << "<B>" << Navy;
    QTest::newRow("br") << "<br>" << Navy;
    QTest::newRow("end body") << "</body>" << Navy;
    QTest::newRow("P") << "<P>" << Navy;
    QTest::newRow("p") << "<p>" << Navy;
    QTest::newRow("D") << "<DIV>" << Orange;
    QTest::newRow("d") << "<div>" << Orange;
    QTest::newRow("F") << "<FONT color=red>" << Green;
    QTest::newRow("f") << "<form>" << Green;
    QTest::newRow("H") << "<H1>" << Teal;
    QTest::newRow("h") << "<hr>" << Teal;
    QTest::newRow("I") << "<IMG src=x>" << LightBlue;
    QTest::newRow("i") << "<input>" << LightBlue;
    QTest::newRow("T") << "<TITLE>" << Olive;
    QTest::newRow("t") << "</td>" << Olive;
    QTest::newRow("center") << "<center>" << Grey;
    QTest::newRow("select") << "<select>" << Grey;
    QTest::newRow("li") << "<li>" << Grey;
    QTest::newRow("digit") << "<2 and 3>" << Grey;
    QTest::newRow("empty tag") << "<>" << Grey;
    QTest::newRow("space first") << "< a>" << Grey;
    QTest::newRow("empty end tag") << "</>" << Grey;
    QTest::newRow("two slashes") << "<//a>" << Grey;
    QTest::newRow("end comment") << "</!x>" << DarkRed;
    QTest::newRow("full-width A") << "<\uFF21>" << Grey;
    QTest::newRow("non-ASCII") << "<\u00E4>" << Grey;
    QTest::newRow("empty text") << "" << Grey;
    QTest::newRow("one character") << "<" << Grey;
    QTest::newRow("slash last") << "</" << Grey;
    QTest::newRow("first not examined") << "xa" << Purple;
    QTest::newRow("slash first not examined") << "/b" << Navy;
    QTest::newRow("unclosed") << "<t" << Olive;
}

void TestTagColor::colorFor()
{
    QFETCH(QString, tag);
    QFETCH(quint32, color);
    QCOMPARE(TagColorFor(tag), color);
}

using Spans = QList<TagSpan>;

// Shown when a comparison fails.
char *toString(const Spans &spans)
{
    QByteArray text;
    for (const TagSpan &s : spans) {
        text += '(' + QByteArray::number(s.start) + ',' + QByteArray::number(s.length) + ",0x" +
                QByteArray::number(s.color, 16) + ')';
    }
    return qstrdup(text.constData());
}

void TestTagColor::spans_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Spans>("expected");

    QTest::newRow("empty") << "" << Spans{};
    QTest::newRow("plain") << "no tags" << Spans{};
    QTest::newRow("bold") << "<b>bold</b>" << Spans{{0, 3, Navy}, {7, 4, Navy}};
    QTest::newRow("lt inside tag") << "<a<b>" << Spans{{0, 5, Purple}};
    QTest::newRow("gt alone") << "a > b" << Spans{};
    QTest::newRow("unclosed lt") << "x <y" << Spans{};
    QTest::newRow("unclosed after tag") << "<a>x<b" << Spans{{0, 3, Purple}};
    QTest::newRow("gt later") << "1<2 and 3>2" << Spans{{1, 9, Grey}};
    QTest::newRow("comment holding gt") << "<!-- a > b -->" << Spans{{0, 8, DarkRed}};
    QTest::newRow("empty tag") << "<>" << Spans{{0, 2, Grey}};
    QTest::newRow("space first") << "< a>" << Spans{{0, 4, Grey}};
    QTest::newRow("gt after tag") << "<a>>" << Spans{{0, 3, Purple}};
    QTest::newRow("adjacent") << "<i><t>" << Spans{{0, 3, LightBlue}, {3, 3, Olive}};
    QTest::newRow("line ends count") << "<a>\r\n<h1>" << Spans{{0, 3, Purple}, {5, 4, Teal}};
    QTest::newRow("surrogate pair before")
        << QString::fromUtf8("\xF0\x9F\x98\x80<i>") << Spans{{2, 3, LightBlue}};
    QTest::newRow("tag over lines") << "<font\r\ncolor=red>" << Spans{{0, 17, Green}};
}

void TestTagColor::spans()
{
    QFETCH(QString, text);
    QFETCH(Spans, expected);
    QCOMPARE(FindTagSpans(text), expected);
}

// Large texts must be scanned in one pass; a scan that rereads the text per tag would not end
// within the test's time limit.
void TestTagColor::largeTexts_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<QString>("tail");
    QTest::addColumn<qsizetype>("spanCount");
    QTest::addColumn<qsizetype>("lastStart");
    QTest::addColumn<qsizetype>("lastLength");

    const int many = 2'500'000;
    QTest::newRow("many tags") << "<a>x" << many << "" << qsizetype(many)
                               << qsizetype(4 * (many - 1)) << qsizetype(3);
    QTest::newRow("lt without gt")
        << "<" << 10'000'000 << "" << qsizetype(0) << qsizetype(-1) << qsizetype(-1);
    QTest::newRow("one gt at the end")
        << "<x" << 5'000'000 << ">" << qsizetype(1) << qsizetype(0) << qsizetype(10'000'001);
    QTest::newRow("gts without lt")
        << "x>" << 5'000'000 << "" << qsizetype(0) << qsizetype(-1) << qsizetype(-1);
}

void TestTagColor::largeTexts()
{
    QFETCH(QString, unit);
    QFETCH(int, repeat);
    QFETCH(QString, tail);
    QFETCH(qsizetype, spanCount);
    QFETCH(qsizetype, lastStart);
    QFETCH(qsizetype, lastLength);

    const QString text = unit.repeated(repeat) + tail;
    qsizetype count = 0;
    TagSpan last{-1, -1, 0};
    ForEachTagSpan(text, [&](const TagSpan &span) {
        ++count;
        last = span;
    });
    QCOMPARE(count, spanCount);
    QCOMPARE(last.start, lastStart);
    QCOMPARE(last.length, lastLength);
}

QTEST_GUILESS_MAIN(TestTagColor)
#include "tst_tagcolor.moc"

#include "text/PhoneCheck.h"

#include <QTest>

using namespace PhoneCheck;

namespace {

const Target &targetNamed(const QString &label)
{
    for (const Target &t : Tables::program().targets)
        if (t.label() == label)
            return t;
    qFatal("no target %s", qPrintable(label));
}

// "E4 C10": each finding as its level and position, in order.
QString summary(const QList<Finding> &findings)
{
    QStringList parts;
    for (const Finding &f : findings)
        parts << (f.level == Finding::Level::Error ? u'E' : u'C') + QString::number(f.position);
    return parts.join(u' ');
}

} // namespace

class TestPhoneCheck : public QObject
{
    Q_OBJECT

private slots:
    void programTablesAreRead();
    void versions_data();
    void versions();
    void findings_data();
    void findings();
    void sizeCountsLocalImagesOnce();
    void findingsNameTheirLineAndCaution();
    void badTablesAreRefused();
};

void TestPhoneCheck::programTablesAreRead()
{
    const Tables &t = Tables::program();
    QVERIFY2(t.error.isEmpty(), qPrintable(t.error));
    QCOMPARE(t.targets.first().label(), QStringLiteral("全機種"));
    // A name the table does not hold falls back to the safe floor.
    QCOMPARE(&t.target(QStringLiteral("no such phone")), &t.targets.first());
    QCOMPARE(t.exampleOf(QStringLiteral("2.0")), QStringLiteral("502i"));
    QCOMPARE(t.exampleOf(QStringLiteral("3.0F")), QStringLiteral("FOMA 2001 世代"));
    QCOMPARE(t.targets.last().label(), QStringLiteral("iモードブラウザ 2.0 の機種"));
}

void TestPhoneCheck::versions_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same") << "2.0" << "2.0" << true;
    QTest::newRow("older phone") << "2.0" << "1.0" << false;
    QTest::newRow("plain on FOMA of the same number") << "4.0" << "4.0F" << true;
    QTest::newRow("FOMA row on its own version") << "3.0F" << "3.0F" << true;
    QTest::newRow("FOMA row on a later mova phone") << "3.0F" << "5.0" << false;
    QTest::newRow("FOMA row on a later FOMA phone") << "3.0F" << "5.0F" << true;
    QTest::newRow("FOMA row from 6.0 on") << "5.0F" << "6.0" << true;
    QTest::newRow("FOMA phone older than the row") << "5.0" << "4.0F" << false;
    QTest::newRow("unknown version") << "8.0" << "1.0" << true;
}

void TestPhoneCheck::versions()
{
    QFETCH(QString, first);
    QFETCH(QString, target);
    QTEST(accepts(first, target), "accepted");
}

void TestPhoneCheck::findings_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("expected");
    const QString basic = QStringLiteral(
        "<html><head><title>t</title></head><body>\n<center>見出し</center><br>\n"
        "<a href=\"tel:0123\" accesskey=1>電話</a><img src=\"a.gif\" alt=x>\n"
        "<form action=x method=post><input type=text name=n istyle=1></form></body></html>");
    QTest::newRow("clean page for its target") << basic << "502i" << "";
    QTest::newRow("newer attribute on the floor") << basic << "全機種" << "E179";
    QTest::newRow("element too new") << "a<marquee>b</marquee>" << "501i" << "E1";
    QTest::newRow("element accepted") << "a<MARQUEE>b</MARQUEE>" << "502i" << "";
    QTest::newRow("element of no version") << "<span>x</span>" << "FOMA 906i" << "E0";
    QTest::newRow("attribute too new") << "<body alink=red>" << "503i / 503iS" << "E6";
    QTest::newRow("unknown attribute left alone") << "<p class=x id=y>" << "全機種" << "";
    QTest::newRow("single-source value") << "<img src=a.gif align=center>" << "503i / 503iS"
                                         << "C15";
    QTest::newRow("base value") << "<img src=a.gif align=left>" << "全機種" << "";
    QTest::newRow("inferred row") << "<li type=a>" << "503i / 503iS" << "C4";
    QTest::newRow("inferred element with table") << "<table><tr><td>" << "505i / 505iS"
                                                 << "E0 C7 C11";
    QTest::newRow("FOMA scheme on mova") << "<a href='tel-av:1'>" << "FOMA 904i" << "";
    QTest::newRow("FOMA scheme on later mova") << "<a href='TEL-AV:1'>" << "505i / 505iS"
                                               << "C3";
    QTest::newRow("mail query") << "<a href=\"mailto:a@b?subject=x\">" << "502i" << "C3";
    QTest::newRow("plain mail") << "<a href=\"mailto:a@b\">" << "全機種" << "";
    QTest::newRow("JPEG on the floor") << "<img src=\"p.JPG\">" << "全機種" << "E5";
    QTest::newRow("JPEG on some 503i") << "<img src=\"p.jpg\">" << "503i / 503iS" << "C5";
    QTest::newRow("JPEG on every 504i") << "<img src=\"p.jpeg?x=1\">" << "504i / 504iS" << "";
    QTest::newRow("PNG on none") << "<img src=p.png>" << "FOMA 906i" << "E5";
    QTest::newRow("raw au pictograph") << QStringLiteral("x\uE468y") << "FOMA 906i" << "E1";
    // au's codes from F340 are not in the pictograph table; F37E and F380 stand either side
    // of the trail byte 7F, which Shift-JIS leaves out.
    QTest::newRow("raw au, second block") << QStringLiteral("\uE234\uE272\uE273\uE342\uE343")
                                          << "全機種" << "E0 E1 E2 E3";
    QTest::newRow("au second block by Shift-JIS") << "&#62272;&#xF493;&#62335;" << "全機種"
                                                  << "E0 E8";
    QTest::newRow("raw DoCoMo pictograph") << QStringLiteral("x\uE63Ey") << "全機種" << "";
    QTest::newRow("au by its own code") << "&#xE481;&#xEA80;" << "全機種" << "E0 E8";
    QTest::newRow("au by Shift-JIS") << "a&#63040;" << "全機種" << "E1";
    QTest::newRow("DoCoMo references") << "&#63647;&#xE63E;&#58942;&amp;" << "全機種" << "";
    QTest::newRow("au by number") << "<img localsrc=44>" << "FOMA 906i" << "E5";
    QTest::newRow("comment and closing tags") << "<!-- <marquee> --></blink><!DOCTYPE x>"
                                              << "全機種" << "";
    QTest::newRow("lone angle bracket") << "a < b <" << "全機種" << "";
    QTest::newRow("unclosed tag") << "<font color=red<marquee>" << "501i" << "E0 E6 E15";
    QTest::newRow("quoted greater-than") << "<a title=\"<marquee>\" href=x>" << "全機種" << "";
}

void TestPhoneCheck::findings()
{
    QFETCH(QString, page);
    QFETCH(QString, target);
    QTEST(summary(check(page, page.size(), targetNamed(target))), "expected");
}

void TestPhoneCheck::sizeCountsLocalImagesOnce()
{
    const QString page = QStringLiteral("<img src=a.gif><img src=a.gif>"
                                        "<img src=\"http://x/b.gif\"><img src=c.gif>");
    QStringList asked;
    auto sizes = [&asked](const QString &src) -> qint64 {
        asked << src;
        return src == u"c.gif" ? -1 : 1000;
    };
    const Target &floor = targetNamed(QStringLiteral("全機種"));
    // Exactly the largest page is still allowed.
    QCOMPARE(check(page, 5 * 1024 - 1000, floor, sizes).size(), 0);
    QCOMPARE(asked, (QStringList{"a.gif", "c.gif"}));
    const auto over = check(page, 5 * 1024 - 999, floor, sizes);
    QCOMPARE(summary(over), QStringLiteral("E0"));
    QVERIFY2(over[0].message.contains(u"画像 1,000 バイト"), qPrintable(over[0].message));
    QCOMPARE(check(page, 10 * 1024, targetNamed(QStringLiteral("502i")), sizes).size(), 1);
}

void TestPhoneCheck::findingsNameTheirLineAndCaution()
{
    const auto found = check(QStringLiteral("a\r\nb\n\n<marquee>\r\r<li value=2>"), 0,
                             targetNamed(QStringLiteral("501i")));
    QCOMPARE(found.size(), 2);
    QCOMPARE(found[0].line, 4);
    QCOMPARE(found[0].message, QStringLiteral("<marquee>: iモード HTML 2.0（502i など）から"));
    QCOMPARE(found[1].line, 6);
    QVERIFY2(found[1].message.endsWith(u"（版は推定）"), qPrintable(found[1].message));
    const auto raw = check(QStringLiteral("\uE272\uE273"), 0, targetNamed(QStringLiteral("全機種")));
    QCOMPARE(raw.size(), 2);
    QVERIFY2(raw[0].message.contains(u"（F37E）") && raw[1].message.contains(u"（F380）"),
             qPrintable(raw[0].message + raw[1].message));
    const auto foma = check(QStringLiteral("<a href=\"tel-av:1\">"), 0,
                            targetNamed(QStringLiteral("504i / 504iS")));
    QCOMPARE(foma.size(), 1);
    QVERIFY2(foma[0].message.contains(u"FOMA の機種のみ"), qPrintable(foma[0].message));
}

void TestPhoneCheck::badTablesAreRefused()
{
    const QByteArray limits = "generation,html_version,approx_year,page_limit_kb,page_limit_note,"
                              "screen_chars,screen_px,colours,image_formats,sources\n"
                              "all,1.0,,5,\"a, b\",,,,GIF,K\n";
    const QByteArray html = "kind,name,first_version,last_version,note,sources\n";
    QVERIFY(Tables::parse(html + "element,p,1.0,,n,K\n", limits).error.isEmpty());
    QVERIFY(!Tables::parse(html + "element,p,9.9,,n,K\n", limits).error.isEmpty());
    QVERIFY(!Tables::parse(html, limits + "x,1.0,,five,,,,,GIF,K\n").error.isEmpty());
    QVERIFY(!Tables::parse("kind,name\n", limits).error.isEmpty());
}

QTEST_GUILESS_MAIN(TestPhoneCheck)
#include "tst_phonecheck.moc"

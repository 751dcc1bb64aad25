#include "tools/Narrow.h"

#include <QTest>

class TestNarrow : public QObject
{
    Q_OBJECT

private slots:
    void narrow_data();
    void narrow();
    void resultsMeanTheSame();
    void everyHalfWidthKanaIsReached();
    void voicedKanaSplit();
};

void TestNarrow::narrow_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("voiced grows") << u"ガイド"_qs << u"ｶﾞｲﾄﾞ"_qs;
    QTest::newRow("plain kana") << u"アイウ"_qs << u"ｱｲｳ"_qs;
    QTest::newRow("letters, space, digits") << u"ＡＢＣ\u3000１２３"_qs << u"ABC 123"_qs;
    QTest::newRow("hiragana and kanji stay") << u"ひらがな漢字"_qs << u"ひらがな漢字"_qs;
    QTest::newRow("semi-voiced") << u"パピプペポ"_qs << u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"_qs;
    QTest::newRow("vu") << u"ヴ"_qs << u"ｳﾞ"_qs;
    QTest::newRow("punctuation") << u"。「」、・"_qs << u"｡｢｣､･"_qs;
    QTest::newRow("small kana and wo") << u"ヲァィゥェォャュョッ"_qs << u"ｦｧｨｩｪｫｬｭｮｯ"_qs;
    QTest::newRow("long mark") << u"ラーメン"_qs << u"ﾗｰﾒﾝ"_qs;
    QTest::newRow("sound marks") << u"゛゜"_qs << u"ﾞﾟ"_qs;
    QTest::newRow("ASCII ends") << u"！～＼"_qs << u"!~\\"_qs;
    QTest::newRow("tag") << u"＜ＦＯＮＴ　ｃｏｌｏｒ＝＂ｒｅｄ＂＞"_qs
                         << u"<FONT color=\"red\">"_qs;
    QTest::newRow("half-width and ASCII stay") << u"ｶﾞabc<p>"_qs << u"ｶﾞabc<p>"_qs;
    QTest::newRow("no exact half-width form")
        << u"ヮヰヱヵヶヸヹヽヾ"_qs << u"ヮヰヱヵヶヸヹヽヾ"_qs;
    QTest::newRow("currency signs stay") << u"￠￡￢￣￤￥￦"_qs << u"￠￡￢￣￤￥￦"_qs;
    QTest::newRow("pictograph and emoji stay") << u"\uE63E😀"_qs << u"\uE63E😀"_qs;
    QTest::newRow("lone surrogate stays") << QString(QChar(0xD83D)) << QString(QChar(0xD83D));
    QTest::newRow("empty") << QString() << QString();
}

void TestNarrow::narrow()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Narrow(text), expected);
}

// Whatever a character becomes, Unicode's compatibility mapping reads it as the same text, and
// only as half-width characters.
void TestNarrow::resultsMeanTheSame()
{
    for (char16_t c = 1; c != 0; ++c) {
        const QString in(QChar{c});
        const QString out = Narrow(in);
        QVERIFY2(out.size() >= 1 && out.size() <= 2, qPrintable(in));
        if (out == in)
            continue;
        // The spacing marks ゛ ゜ read as a space before the combining mark.
        const QString spacing = (c == 0x309B || c == 0x309C) ? u" "_qs : QString();
        QCOMPARE(spacing + out.normalized(QString::NormalizationForm_KC),
                 in.normalized(QString::NormalizationForm_KC));
        for (const QChar h : out) {
            QVERIFY2(h.unicode() < 0x7F || (h.unicode() >= 0xFF61 && h.unicode() <= 0xFF9F),
                     qPrintable(in));
        }
    }
}

// Every half-width katakana and mark is the result of the full-width form it stands for.
void TestNarrow::everyHalfWidthKanaIsReached()
{
    for (char16_t h = 0xFF61; h <= 0xFF9F; ++h) {
        const QString half(QChar{h});
        const QString full = half.normalized(QString::NormalizationForm_KC);
        QCOMPARE(full.size(), 1);
        QCOMPARE(Narrow(full), half);
    }
    for (char16_t a = 0x21; a <= 0x7E; ++a)
        QCOMPARE(Narrow(QString(QChar(char16_t(a - 0x21 + 0xFF01)))), QString(QChar(a)));
}

// A voiced or semi-voiced katakana is its unvoiced kana followed by the half-width mark.
void TestNarrow::voicedKanaSplit()
{
    int voiced = 0;
    for (char16_t c = 0x30A1; c <= 0x30FA; ++c) {
        const QString full(QChar{c});
        const QString parts = full.normalized(QString::NormalizationForm_D);
        if (parts.size() != 2)
            continue;
        const QString base = Narrow(parts.left(1));
        if (base == parts.left(1))
            continue; // ヸ ヹ: the unvoiced kana has no half-width form either
        const QChar mark = parts[1] == QChar(0x3099) ? QChar(0xFF9E) : QChar(0xFF9F);
        QCOMPARE(Narrow(full), base + mark);
        ++voiced;
    }
    QCOMPARE(voiced, 15 + 10 + 1 + 2); // ガ..ド, バ..ポ, ヴ, ヷ ヺ
}

QTEST_GUILESS_MAIN(TestNarrow)
#include "tst_narrow.moc"

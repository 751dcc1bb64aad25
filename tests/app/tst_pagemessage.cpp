// What a later start hands to the running copy, as the running copy reads it.
#include "app/PageMessage.h"

#include <QtTest>

namespace {
// The bytes of a literal, NULs and all, but for the one that ends it.
template <qsizetype N> QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}
} // namespace

class TestPageMessage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsAWholeMessage_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QStringList>("pages");
        QTest::newRow("pages in order")
            << bytes("/b c.html\0/a/ペ.html\0\0") << true << QStringList{"/b c.html", "/a/ペ.html"};
        QTest::newRow("no pages") << bytes("\0") << true << QStringList{};
        QTest::newRow("empty") << QByteArray() << false << QStringList{};
        QTest::newRow("without its end") << bytes("/a.html\0") << false << QStringList{};
        QTest::newRow("bytes after its end") << bytes("/a\0\0/b\0\0") << false << QStringList{};
        QTest::newRow("oversized")
            << QByteArray(PageMessage::Max - 1, '/') + bytes("\0\0") << false << QStringList{};
        QTest::newRow("a relative path is passed over")
            << bytes("a.html\0/b\0./c\0../d\0\0") << true << QStringList{"/b"};
        QTest::newRow("a line break is passed over")
            << bytes("/a\nb.html\0/b\0/c\r\0\0") << true << QStringList{"/b"};
        QTest::newRow("not UTF-8 is passed over")
            << bytes("/\x83y\x81[.html\0/b\0\0") << true << QStringList{"/b"};
    }
    void readsAWholeMessage()
    {
        QFETCH(QByteArray, message);
        QFETCH(bool, read);
        const std::optional<QStringList> pages = PageMessage::parse(message);
        QCOMPARE(pages.has_value(), read);
        if (read)
            QTEST(*pages, "pages");
    }

    // However the message is cut into pieces, it is whole at the piece holding its end and
    // not before, and the bytes that follow its end are not part of it.
    void gathersPieces_data()
    {
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<int>("wholeAt"); // the piece that ends the message; -1 never
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("one piece") << QByteArrayList{bytes("/a\0\0")} << 0 << bytes("/a\0\0");
        QTest::newRow("its end cut in two")
            << QByteArrayList{bytes("/a\0"), bytes("\0")} << 1 << bytes("/a\0\0");
        QTest::newRow("a byte a piece")
            << QByteArrayList{"/", "a", bytes("\0"), "b", bytes("\0"), bytes("\0")} << 5
            << bytes("/a\0b\0\0");
        QTest::newRow("empty pieces between")
            << QByteArrayList{bytes("/a\0"), "", bytes("\0")} << 2 << bytes("/a\0\0");
        QTest::newRow("no pages, then more") << QByteArrayList{bytes("\0/b")} << 0 << bytes("\0");
        QTest::newRow("bytes after its end")
            << QByteArrayList{bytes("/a\0"), bytes("\0/b\0\0")} << 1 << bytes("/a\0\0");
        QTest::newRow("never ends") << QByteArrayList{bytes("/a\0"), "/b"} << -1 << QByteArray();
    }
    void gathersPieces()
    {
        QFETCH(QByteArrayList, pieces);
        QFETCH(int, wholeAt);
        QFETCH(QByteArray, message);
        PageMessage::Reader reader;
        for (int i = 0; i < pieces.size(); ++i) {
            const bool whole = reader.add(pieces.at(i)) == PageMessage::Reader::State::Whole;
            QCOMPARE(whole, wholeAt >= 0 && i >= wholeAt);
        }
        if (wholeAt >= 0)
            QCOMPARE(reader.message().toByteArray(), message);
    }
};

QTEST_GUILESS_MAIN(TestPageMessage)
#include "tst_pagemessage.moc"

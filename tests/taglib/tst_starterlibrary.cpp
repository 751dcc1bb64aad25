#include "taglib/TagLibraryFile.h"

#include <QFile>
#include <QTest>

// The library installed beside the program, which a first start shows.
class TestStarterLibrary : public QObject
{
    Q_OBJECT

    const QString path = QStringLiteral(ZEMLO_SOURCE_DATA "/zemlo.tag");

private Q_SLOTS:
    void readsWithoutFailure()
    {
        const TagLibraryRead read = ReadTagLibraryFile(path);
        QVERIFY(read.ok());
        QVERIFY(read.entries.size() >= 30);
        for (const TagLibraryEntry &e : read.entries) {
            QVERIFY2(!e.tag.isEmpty(), qPrintable(e.comment));
            // Every comment is in Japanese.
            const bool japanese = std::any_of(e.comment.begin(), e.comment.end(),
                                              [](QChar c) { return c.unicode() >= 0x3000; });
            QVERIFY2(japanese, qPrintable(e.comment));
        }
    }

    void savesBackToTheSameBytes()
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.endsWith("\r\n"));
        QTemporaryDir dir;
        const QString copy = dir.filePath("copy.tag");
        QVERIFY(!WriteTagLibraryFile(copy, ReadTagLibraryFile(path).entries));
        QFile written(copy);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), bytes);
    }

    void holdsTheTagsPagesNeed_data()
    {
        QTest::addColumn<QString>("fragment");
        for (const char *f : {"<br>", "<hr", "<center>", "<font color=", "accesskey=",
                              "href=\"tel:", "href=\"mailto:", "<img ", "<form ", "<input ",
                              "<select ", "<marquee>", "<blink>", "</font>", "</a>"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }

    void holdsTheTagsPagesNeed()
    {
        QFETCH(QString, fragment);
        const QList<TagLibraryEntry> entries = ReadTagLibraryFile(path).entries;
        QVERIFY(std::any_of(entries.begin(), entries.end(),
                            [&](const TagLibraryEntry &e) { return e.tag.contains(fragment); }));
    }
};

QTEST_GUILESS_MAIN(TestStarterLibrary)
#include "tst_starterlibrary.moc"

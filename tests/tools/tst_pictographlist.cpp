#include "tools/PictographList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// count records "<code>,Label<n>,Note<n>" with codes from 63647 on, one per line.
QByteArray records(int count, int firstCode = 63647)
{
    QByteArray bytes;
    for (int n = 0; n < count; ++n) {
        bytes += QByteArray::number(firstCode + n) + ",Label" + QByteArray::number(n) + ",Note" +
                 QByteArray::number(n) + "\r\n";
    }
    return bytes;
}

} // namespace

class TestPictographList : public QObject
{
    Q_OBJECT

private slots:
    void firstRecordDerivations();
    void insertionText_data();
    void insertionText();
    void recordCount_data();
    void recordCount();
    void fields_data();
    void fields();
    void readFromFile();
    void missingFile();
};

void TestPictographList::firstRecordDerivations()
{
    const PictographListRead read = PictographList::parse("63647,X,Y\r\n" + records(175, 63648));
    QVERIFY(read.ok());
    QCOMPARE(read.records.size(), 176);
    const PictographRecord &first = read.records.first();
    QCOMPARE(first, (PictographRecord{"63647", "X", "Y"}));
    QCOMPARE(PictographList::keyOf(first), "i63647");
    QCOMPARE(PictographList::captionOf(first), "X\r [ Y ]");
    QCOMPARE(PictographList::insertionTextOf(PictographList::keyOf(first)), "&#63647;");
    QCOMPARE(PictographList::imagePath("/p", first.Code), "/p/ImageList/63647.gif");
    QCOMPARE(PictographList::listPath("/p"), "/p/ImageList/ImageList.lst");
}

void TestPictographList::insertionText_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("five characters") << "63647"
                                     << "&#63647;";
    QTest::newRow("four characters") << "1234"
                                     << "&#i1234;";
    QTest::newRow("six characters") << "123456"
                                    << "&#23456;";
    QTest::newRow("empty") << ""
                           << "&#i;";
}

void TestPictographList::insertionText()
{
    QFETCH(QString, code);
    QFETCH(QString, text);
    const QString key = PictographList::keyOf({code, "L", "N"});
    QCOMPARE(key, u'i' + code);
    QCOMPARE(PictographList::insertionTextOf(key), text);
}

void TestPictographList::recordCount_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("read");
    QTest::addColumn<int>("failure");

    QTest::newRow("176") << records(176) << 176 << 0;
    QTest::newRow("175") << records(175) << 175 << 62;
    QTest::newRow("175 and a partial record") << records(175) + "1,2" << 175 << 62;
    QTest::newRow("177") << records(177) << 176 << 0;
    QTest::newRow("rubbish after 176") << records(176) + "\"unclosed, 1, 2" << 176 << 0;
    QTest::newRow("no final line end") << records(176).chopped(2) << 176 << 0;
    QTest::newRow("last field after a comma at the end") << records(175) + "1,2," << 176 << 0;
    QTest::newRow("empty") << QByteArray() << 0 << 62;
}

void TestPictographList::recordCount()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, read);
    QFETCH(int, failure);

    const PictographListRead result = PictographList::parse(bytes);
    QCOMPARE(result.records.size(), read);
    QCOMPARE(result.failure ? result.failure->number : 0, failure);
    if (read > 1)
        QCOMPARE(result.records[1].Note, "Note1");
}

void TestPictographList::fields_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<PictographRecord>("record");

    QTest::newRow("quoted comma") << QByteArray("63648,\"A,B\",C\r\n")
                                  << PictographRecord{"63648", "A,B", "C"};
    QTest::newRow("blanks before fields")
        << QByteArray("  63649,\t X,  \"Y\"\r\n") << PictographRecord{"63649", "X", "Y"};
    QTest::newRow("blanks after kept")
        << QByteArray("63650,X ,Y\r\n") << PictographRecord{"63650", "X ", "Y"};
    QTest::newRow("after closing quote dropped")
        << QByteArray("63651,\"X\"z,Y\r\n") << PictographRecord{"63651", "X", "Y"};
    QTest::newRow("one field per line")
        << QByteArray("63652\r\nX\nY\r") << PictographRecord{"63652", "X", "Y"};
    QTest::newRow("empty fields") << QByteArray("63653,,\r\n") << PictographRecord{"63653", "", ""};
    QTest::newRow("quoted line end")
        << QByteArray("63654,\"X\r\nZ\",Y\r\n") << PictographRecord{"63654", "X\r\nZ", "Y"};
    QTest::newRow("Shift-JIS") << QByteArray("63655,\x90\xb0\x82\xea,\x91\xbe\x97\x7a\r\n")
                               << PictographRecord{"63655", u"晴れ"_qs, u"太陽"_qs};
}

void TestPictographList::fields()
{
    QFETCH(QByteArray, line);
    QFETCH(PictographRecord, record);

    const PictographListRead read = PictographList::parse(line + records(175));
    QVERIFY(read.ok());
    QCOMPARE(read.records.first(), record);
    QCOMPARE(read.records[1].Code, "63647"); // the next record starts where it should
}

void TestPictographList::readFromFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir("ImageList"));
    QFile file(PictographList::listPath(dir.path()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(records(176));
    file.close();

    const PictographListRead read = PictographList::read(file.fileName());
    QVERIFY(read.ok());
    QCOMPARE(read.records.last().Code, "63822");
}

void TestPictographList::missingFile()
{
    QTemporaryDir dir;
    const PictographListRead read = PictographList::read(PictographList::listPath(dir.path()));
    QVERIFY(read.records.isEmpty());
    QVERIFY(read.failure);
    QCOMPARE(read.failure->number, 53);
}

QTEST_GUILESS_MAIN(TestPictographList)
#include "tst_pictographlist.moc"

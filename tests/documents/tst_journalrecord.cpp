#include "documents/JournalRecord.h"

#include <QtTest>

namespace {
const QString NewPage = QStringLiteral("新しいファイル");
const QString Id = QStringLiteral("20260101000000000-42-1");

QByteArray recordOf(const QString &page, const QString &dataName, const QByteArray &data,
                    const Cp932::Forms &forms = {})
{
    return JournalRecord::write(page, QDateTime::currentDateTimeUtc(), dataName, data, forms,
                                Cp932::LineEnds::CrLf);
}
} // namespace

Q_DECLARE_METATYPE(Cp932::Forms)

class TestJournalRecord : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A record names its own text file beside it and a page that is a clean full path of one
    // line (or the new page); anything else is refused.
    void recordsAreReadAsUntrusted_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("dataName");
        QTest::addColumn<bool>("read");
        const QString own = Id + ".sjis";
        QTest::newRow("a page") << "/home/u/page.html" << own << true;
        QTest::newRow("the new page") << NewPage << Id + ".utf8" << true;
        QTest::newRow("text file in the folder above") << "/p.html" << "../x" << false;
        QTest::newRow("text file by full path") << "/p.html" << "/x" << false;
        QTest::newRow("hidden text file") << "/p.html" << ".x" << false;
        QTest::newRow("another journal's text file") << "/p.html" << "other.sjis" << false;
        QTest::newRow("text file in a folder below") << "/p.html" << "d/" + own << false;
        QTest::newRow("relative page") << "page.html" << own << false;
        QTest::newRow("page through ..") << "/home/u/../../etc/x" << own << false;
        QTest::newRow("page with a line break") << "/home/u/a\nb.html" << own << false;
        QTest::newRow("page with a carriage return") << "/home/u/a\rb.html" << own << false;
        QTest::newRow("empty page") << "" << own << false;
    }
    void recordsAreReadAsUntrusted()
    {
        QFETCH(QString, page);
        QFETCH(QString, dataName);
        QFETCH(bool, read);
        QString why;
        const auto record = JournalRecord::read(recordOf(page, dataName, "x"), Id, NewPage, &why);
        QCOMPARE(record.has_value(), read);
        QCOMPARE(why.isEmpty(), read);
        if (read)
            QCOMPARE(record->page, page);
    }

    // Byte forms of a record that goes with its text lie inside that text, or the journal is
    // refused; a text newer than its record is read by itself.
    void formsOutsideTheTextAreRefused_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<Cp932::Forms>("forms");
        QTest::addColumn<QByteArray>("recordedData");
        QTest::addColumn<bool>("restored");
        const QByteArray text = "Y<p>abc</p>Z";
        QTest::newRow("far past the end") << text << Cp932::Forms{{99999999, 0x4142}} << text
                                          << false;
        QTest::newRow("at the end") << text << Cp932::Forms{{12, 0x0A}} << text << false;
        QTest::newRow("inside") << text << Cp932::Forms{{11, 0x5A}} << text << true;
        QTest::newRow("text newer than the record")
            << text << Cp932::Forms{{99, 0x0A}} << QByteArray("older") << true;
    }
    void formsOutsideTheTextAreRefused()
    {
        QFETCH(QByteArray, data);
        QFETCH(Cp932::Forms, forms);
        QFETCH(QByteArray, recordedData);
        QFETCH(bool, restored);
        const QByteArray bytes = recordOf("/p.html", Id + ".sjis", recordedData, forms);
        const auto record = JournalRecord::read(bytes, Id, NewPage);
        QVERIFY(record);
        const auto page = JournalRecord::restore(*record, data);
        QCOMPARE(page.has_value(), restored);
        if (restored)
            QCOMPARE(page->text, QString::fromLatin1(data));
    }

    void malformedRecordsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::newRow("not a record") << QByteArray("zemlo-journal 1") << QByteArray("notes");
        QTest::newRow("size") << QByteArray("size=1") << QByteArray("size=one");
        QTest::newRow("time") << QByteArray("time=") << QByteArray("when=");
        QTest::newRow("line ends") << QByteArray("lineends=crlf") << QByteArray("lineends=x");
        QTest::newRow("forms out of order") << QByteArray("forms=") << QByteArray("forms=5:a 2:a");
        QTest::newRow("negative form") << QByteArray("forms=") << QByteArray("forms=-1:a");
        QTest::newRow("form too wide") << QByteArray("forms=") << QByteArray("forms=1:10000");
    }
    void malformedRecordsAreRefused()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        const QByteArray good = recordOf("/p.html", Id + ".sjis", "x");
        QVERIFY(JournalRecord::read(good, Id, NewPage));
        QByteArray bad = good;
        bad.replace(from, to);
        QVERIFY(bad != good);
        QVERIFY(!JournalRecord::read(bad, Id, NewPage));
    }
};

QTEST_GUILESS_MAIN(TestJournalRecord)
#include "tst_journalrecord.moc"

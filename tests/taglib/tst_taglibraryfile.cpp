#include "taglib/TagLibraryFile.h"
#include "taglib/TagLibraryPath.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Entries = QList<TagLibraryEntry>;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

char *toString(const Entries &entries)
{
    QString text;
    for (const TagLibraryEntry &e : entries)
        text += u'[' + e.comment + u'|' + e.tag + u']';
    return qstrdup(text.toUtf8().constData());
}

class TestTagLibraryFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void pointerFile_data();
    void pointerFile();
    void pointerRoundTrip();
    void pointerKeptWhenPathCannotBeWritten();

    void read_data();
    void read();
    void readFailsWithoutFile_data();
    void readFailsWithoutFile();

    void writeExactBytes_data();
    void writeExactBytes();
    void roundTripByteForByte();
    void writeRefusesWhatCannotBeRead_data();
    void writeRefusesWhatCannotBeRead();
    void writeIntoMissingFolder();

    void createKeepsExistingLibrary();
    void createMakesEmptyLibrary();
    void createInMissingFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestTagLibraryFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestTagLibraryFile::pointerFile_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected"); // "@" stands for the folder

    QTest::newRow("no pointer file") << false << QByteArray() << "@/zemlo.tag";
    QTest::newRow("empty file") << true << QByteArray() << "@/zemlo.tag";
    QTest::newRow("empty first line") << true << QByteArray("\r\n/x/other.tag\r\n") << "";
    QTest::newRow("first line only")
        << true << QByteArray("/x/a.tag\r\n/x/b.tag\r\n") << "/x/a.tag";
    QTest::newRow("no line end") << true << QByteArray("/x/a.tag") << "/x/a.tag";
    QTest::newRow("lone CR ends") << true << QByteArray("/x/a.tag\r/x/b.tag") << "/x/a.tag";
    QTest::newRow("lone LF stays") << true << QByteArray("/x/a\n.tag\r\n") << "/x/a\n.tag";
    QTest::newRow("Shift-JIS") << true << QByteArray("/x/\x83\x5e\x83\x4f.tag\r\n")
                               << u"/x/タグ.tag"_qs;
}

void TestTagLibraryFile::pointerFile()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    if (present)
        writeBytes(path("zemlo.lib"), content);
    QCOMPARE(LoadTagLibraryPath(m_dir->path()), expected.replace(u'@', m_dir->path()));
}

void TestTagLibraryFile::pointerRoundTrip()
{
    const QString library = path(u"ライブラリ ｶﾞ.tag"_qs);
    QVERIFY(SaveTagLibraryPath(m_dir->path(), library));
    QCOMPARE(LoadTagLibraryPath(m_dir->path()), library);
    QVERIFY(readBytes(path("zemlo.lib")).endsWith(".tag\r\n"));

    // An empty path is recorded as an empty line, which reads back as an empty path.
    QVERIFY(SaveTagLibraryPath(m_dir->path(), QString()));
    QCOMPARE(readBytes(path("zemlo.lib")), QByteArray("\r\n"));
    QCOMPARE(LoadTagLibraryPath(m_dir->path()), QString());
}

void TestTagLibraryFile::pointerKeptWhenPathCannotBeWritten()
{
    writeBytes(path("zemlo.lib"), "/x/a.tag\r\n");
    QVERIFY(!SaveTagLibraryPath(m_dir->path(), u"/x/한국어.tag"_qs));
    QVERIFY(!SaveTagLibraryPath(m_dir->path(), u"/x/a\r.tag"_qs));
    QCOMPARE(readBytes(path("zemlo.lib")), QByteArray("/x/a.tag\r\n"));
}

void TestTagLibraryFile::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<int>("failure");

    QTest::newRow("0 bytes") << QByteArray() << Entries{} << 0;
    QTest::newRow("one entry") << QByteArray("Bold\r\n<b>\r\n") << Entries{{"Bold", "<b>"}} << 0;
    QTest::newRow("no final line end")
        << QByteArray("Bold\r\n<b>") << Entries{{"Bold", "<b>"}} << 0;
    QTest::newRow("three lines") << QByteArray("a\r\n<a>\r\nlone\r\n") << Entries{{"a", "<a>"}}
                                 << 62;
    QTest::newRow("one line") << QByteArray("lone") << Entries{} << 62;
    QTest::newRow("blank last line")
        << QByteArray("a\r\n<a>\r\n\r\n") << Entries{{"a", "<a>"}} << 62;
    QTest::newRow("lone LF kept") << QByteArray("two\nlines\r\n<br>\n\r\n")
                                  << Entries{{"two\nlines", "<br>\n"}} << 0;
    QTest::newRow("LF line ends")
        << QByteArray("a\n<a>\nb\n<b>\n") << Entries{{"a", "<a>"}, {"b", "<b>"}} << 0;
    QTest::newRow("LF line ends, no final one")
        << QByteArray("a\n<a>\n\n<b>") << Entries{{"a", "<a>"}, {"", "<b>"}} << 0;
    QTest::newRow("LF line ends, odd count")
        << QByteArray("a\n<a>\nlone\n") << Entries{{"a", "<a>"}} << 62;
    QTest::newRow("lone CR ends a line")
        << QByteArray("a\r<a>\rb\r\n<b>") << Entries{{"a", "<a>"}, {"b", "<b>"}} << 0;
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n") << Entries{{"", ""}} << 0;
    QTest::newRow("blanks kept") << QByteArray(" a \r\n\t<p> \r\n") << Entries{{" a ", "\t<p> "}}
                                 << 0;
    QTest::newRow("Shift-JIS") << QByteArray("\x91\xbe\x8e\x9a\r\n<b>\xb6\xde\r\n")
                               << Entries{{u"太字"_qs, u"<b>ｶﾞ"_qs}} << 0;
}

void TestTagLibraryFile::read()
{
    QFETCH(QByteArray, content);
    QFETCH(Entries, entries);
    QFETCH(int, failure);

    writeBytes(path("lib.tag"), content);
    const TagLibraryRead result = ReadTagLibraryFile(path("lib.tag"));
    QCOMPARE(result.entries, entries);
    QCOMPARE(result.failure ? result.failure->number : 0, failure);
    if (result.failure)
        QVERIFY(!result.failure->description.isEmpty());
}

void TestTagLibraryFile::readFailsWithoutFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("failure");

    QTest::newRow("missing file") << "absent.tag" << 53;
    QTest::newRow("empty path") << "" << 53;
    QTest::newRow("missing folder") << "absent/lib.tag" << 76;
    QTest::newRow("folder") << "." << 75;
}

void TestTagLibraryFile::readFailsWithoutFile()
{
    QFETCH(QString, name);
    QFETCH(int, failure);

    const TagLibraryRead result = ReadTagLibraryFile(name.isEmpty() ? QString() : path(name));
    QVERIFY(result.entries.isEmpty());
    QVERIFY(result.failure);
    QCOMPARE(result.failure->number, failure);
}

void TestTagLibraryFile::writeExactBytes_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty list") << Entries{} << QByteArray();
    QTest::newRow("two entries") << Entries{{"Bold", "<b>"}, {u"改行"_qs, "<br>"}}
                                 << QByteArray("Bold\r\n<b>\r\n\x89\xfc\x8d\x73\r\n<br>\r\n");
    QTest::newRow("empty fields and LF") << Entries{{"", "a\nb"}} << QByteArray("\r\na\nb\r\n");
}

void TestTagLibraryFile::writeExactBytes()
{
    QFETCH(Entries, entries);
    QFETCH(QByteArray, bytes);

    // Over a former library, which must be replaced entirely.
    writeBytes(path("lib.tag"), "old\r\n<old>\r\nold\r\n<old>\r\n");
    QVERIFY(!WriteTagLibraryFile(path("lib.tag"), entries));
    QCOMPARE(readBytes(path("lib.tag")), bytes);
    QCOMPARE(ReadTagLibraryFile(path("lib.tag")).entries, entries);
}

void TestTagLibraryFile::roundTripByteForByte()
{
    // Japanese, half-width katakana, pictographs of the user-defined area, bytes without a
    // character of their own, a lone LF and a lead byte cut off at the end of a line.
    const QByteArray bytes("\x8a\x47\x95\xb6\x8e\x9a\r\n"
                           "<p>\xf8\x9f\xf8\xa0\xf9\xfc</p>\r\n"
                           "\xb6\xde\xb2\xc4\xde \r\n"
                           "\x80\xa0\xfd\xfe\xff\n\r\n"
                           "\x83\r\n"
                           "\x83\x20<b>\r\n");
    writeBytes(path("lib.tag"), bytes);
    const TagLibraryRead read = ReadTagLibraryFile(path("lib.tag"));
    QVERIFY(read.ok());
    QCOMPARE(read.entries.size(), 3);
    QCOMPARE(read.entries[0].comment, u"絵文字"_qs);
    QCOMPARE(read.entries[1].comment, u"ｶﾞｲﾄﾞ "_qs);

    QVERIFY(!WriteTagLibraryFile(path("copy.tag"), read.entries));
    QCOMPARE(readBytes(path("copy.tag")), bytes);
}

void TestTagLibraryFile::writeRefusesWhatCannotBeRead_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<QString>("named"); // a character the description must name

    QTest::newRow("Hangul") << Entries{{"ok", "<b>"}, {u"한"_qs, "<i>"}} << u"한"_qs;
    QTest::newRow("emoji") << Entries{{"ok", u"<b>😀</b>"_qs}} << u"😀"_qs;
    QTest::newRow("CR in comment") << Entries{{"a\rb", "<b>"}} << "CR";
    QTest::newRow("CR LF in tag") << Entries{{"a", "<b>\r\n</b>"}} << "CR";
}

void TestTagLibraryFile::writeRefusesWhatCannotBeRead()
{
    QFETCH(Entries, entries);
    QFETCH(QString, named);

    const QByteArray former("keep\r\n<keep>\r\n");
    writeBytes(path("lib.tag"), former);
    const std::optional<ZErrorInfo> failure = WriteTagLibraryFile(path("lib.tag"), entries);
    QVERIFY(failure);
    QVERIFY2(failure->description.contains(named), qPrintable(failure->description));
    QCOMPARE(readBytes(path("lib.tag")), former);
}

void TestTagLibraryFile::writeIntoMissingFolder()
{
    const std::optional<ZErrorInfo> failure =
        WriteTagLibraryFile(path("absent/lib.tag"), Entries{{"a", "<a>"}});
    QVERIFY(failure);
    QCOMPARE(failure->number, 76);
    QVERIFY(!QFile::exists(path("absent/lib.tag")));
}

void TestTagLibraryFile::createKeepsExistingLibrary()
{
    const QByteArray former("a\r\n<a>\r\nb\r\n<b>\r\n");
    writeBytes(path("lib.tag"), former);
    QVERIFY(!CreateTagLibraryFile(path("lib.tag")));
    QCOMPARE(readBytes(path("lib.tag")), former);
    QCOMPARE(ReadTagLibraryFile(path("lib.tag")).entries.size(), 2);
}

void TestTagLibraryFile::createMakesEmptyLibrary()
{
    QVERIFY(!CreateTagLibraryFile(path("new.tag")));
    QVERIFY(QFile::exists(path("new.tag")));
    const TagLibraryRead read = ReadTagLibraryFile(path("new.tag"));
    QVERIFY(read.ok());
    QVERIFY(read.entries.isEmpty());
}

void TestTagLibraryFile::createInMissingFolder()
{
    const std::optional<ZErrorInfo> failure = CreateTagLibraryFile(path("absent/new.tag"));
    QVERIFY(failure);
    QCOMPARE(failure->number, 76);
}

QTEST_GUILESS_MAIN(TestTagLibraryFile)
#include "tst_taglibraryfile.moc"

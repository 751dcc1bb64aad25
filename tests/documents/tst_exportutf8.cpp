#include "DocumentTestSupport.h"
#include "ZemloTestMain.h"

#include "documents/SaveCommands.h"
#include "platform/CommonDialog.h"
#include "platform/Pictographs.h"

#include <QDirIterator>

using namespace doctest;

namespace {
// A pictograph with an emoji, one without (its picture goes beside the copy), an invalid byte.
const QByteArray Page = "<head><meta charset=Shift_JIS></head>\r\n\xF8\x9F&#63861;\x82\r\n";

// Every file (with its size) and folder under path, but the program's own (preview, journal).
QStringList listing(const QString &path)
{
    QStringList all;
    for (QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QFileInfo file(it.next());
        if (!file.fileName().startsWith("zemlo."))
            all << QDir(path).relativeFilePath(file.filePath()) + ":" + QString::number(file.isDir() ? 0 : file.size());
    }
    all.sort();
    return all;
}
} // namespace

class TestExportUtf8 : public QObject
{
    Q_OBJECT
    MainWindowFixture f;
    const QString picture = Pictographs::imagePath(f.dir.path(), *Pictographs::bySjis(0xF975));

    // The page opened and changed by typing, with the state the export must leave alone.
    auto openChangedPage()
    {
        Form_Editer *doc = f.openPage("page.html", Page);
        doc->RichTextBox1->setFocus();
        QTest::keyClick(doc->RichTextBox1, Qt::Key_End, Qt::ControlModifier);
        type(doc, "x");
        return std::tuple(doc, [doc] {
            return std::tuple(doc->RichTextBox1->Text(), doc->HtmlName(), doc->EditerFr, doc->UndoBuff,
                              doc->BuffBuff, caption(doc), readFile(doc->HtmlName()));
        });
    }

private Q_SLOTS:
    void cleanup()
    {
        closeAllQuietly(*f.window);
        QVERIFY2(!f.prompts.pendingAnswers(), "a scripted answer was not asked for");
        f.prompts.clear();
    }

    void theCopyIsWrittenAndThePageStaysAsItWas()
    {
        QVERIFY(QFile::copy(Pictographs::imagePath(ZEMLO_SOURCE_DATA, *Pictographs::bySjis(0xF975)), picture));
        auto [doc, state] = openChangedPage();
        const auto before = state();
        QVERIFY(doc->isModified());
        f.prompts.answerFile(f.path("out/page-utf8.html"));
        QVERIFY(QDir(f.dir.path()).mkpath("out"));
        f.window->runCommand(Cmd::m_mutf8);

        const FileDialogRequest &dialog = f.prompts.shown().first().file;
        QVERIFY(dialog.kind == FileDialogKind::Save && dialog.overwritePrompt);
        QCOMPARE(dialog.fileName, f.path("page-utf8.html"));
        QCOMPARE(dialog.nameFilters, CommonDialog::qtFilters(SaveFilter));
        QCOMPARE(dialog.defaultSuffix, QStringLiteral("html"));
        QCOMPARE(QString::fromUtf8(readFile(f.path("out/page-utf8.html"))),
                 "<head><meta charset=UTF-8></head>\r\n" + Pictographs::bySjis(0xF89F)->emoji +
                     "<img src=\"emoji/63861.gif\" alt=\"iモード\">\uFFFD\r\nx");
        QCOMPARE(readFile(f.path("out/emoji/63861.gif")), readFile(picture));
        QCOMPARE(listing(f.path("out")).join(' '), QString("emoji/63861.gif:%1 emoji:0 page-utf8.html:%2")
                     .arg(QFileInfo(picture).size()).arg(QFileInfo(f.path("out/page-utf8.html")).size()));
        compareMessages(f.prompts, {{"UTF-8 で書き出しました。\r\n" + f.path("out/page-utf8.html") +
                                         "\r\n\r\n標準の絵文字にした絵文字: 1\r\n画像にした絵文字: 1"
                                         "（1 個の画像を emoji フォルダにコピー）\r\nU+FFFD にした不正な"
                                         "バイト: 1（2 行目）\r\n文字コードの宣言を UTF-8 に変更しました。",
                                     Prompt::Buttons::Ok, Prompt::Icon::Information, "情報"}});
        QVERIFY(state() == before);
        f.window->runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->Text(), Cp932::decodePage(Page).text);
    }

    // A cancel or a failure writes nothing, leaves nothing half written and keeps the page.
    void failuresLeaveNothingBehind_data()
    {
        QTest::addColumn<QString>("target"); // empty: cancelled
        QTest::addColumn<bool>("pictureThere");
        QTest::addColumn<QString>("message"); // its start
        QTest::newRow("cancelled") << "" << true << "";
        QTest::newRow("folder not writable") << "locked/copy.html" << true << "Error 70\r\n\r\n";
        QTest::newRow("no such folder") << "gone/copy.html" << true << "Error 76\r\n\r\n";
        QTest::newRow("picture missing") << "copy.html" << false << "Error 53\r\n\r\n";
        QTest::newRow("the page itself") << "page.html" << true << f.path("page.html") + "\r\n\r\n開いているページ";
    }
    void failuresLeaveNothingBehind()
    {
        QFETCH(QString, target);
        QFETCH(QString, message);
        QFETCH(bool, pictureThere);
        QFile::remove(picture);
        QVERIFY(!pictureThere ||
                QFile::copy(Pictographs::imagePath(ZEMLO_SOURCE_DATA, *Pictographs::bySjis(0xF975)), picture));
        QVERIFY(QDir(f.dir.path()).mkpath("locked"));
        QVERIFY(QFile::setPermissions(f.path("locked"), QFile::ReadOwner | QFile::ExeOwner));
        auto [doc, state] = openChangedPage();
        const auto before = state();
        const QStringList files = listing(f.dir.path());
        f.prompts.answerFile(target.isEmpty() ? std::nullopt : std::optional(f.path(target)));
        f.window->runCommand(Cmd::m_mutf8);

        const QList<MessageRequest> shown = f.prompts.messages();
        QCOMPARE(shown.size(), message.isEmpty() ? 0 : 1);
        QVERIFY(message.isEmpty() || (shown.first().text.startsWith(message) &&
                                      shown.first().title == (message.startsWith("Error") ? "Error" : "情報")));
        QCOMPARE(listing(f.dir.path()), files);
        QVERIFY(state() == before);
        QFile::setPermissions(f.path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

ZEMLO_TEST_MAIN(TestExportUtf8)
#include "tst_exportutf8.moc"

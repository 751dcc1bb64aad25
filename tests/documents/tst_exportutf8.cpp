#include "DocumentTestSupport.h"
#include "ZemloTestMain.h"

#include "documents/SaveCommands.h"
#include "platform/CommonDialog.h"
#include "platform/Pictographs.h"

#include <QDir>
#include <QDirIterator>
#include <memory>

using namespace doctest;

namespace {

// A page with a pictograph that has an emoji, one that has none, and a kept invalid byte.
const QByteArray Page =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
    "</head>\r\n<body>\xF8\x9F&#63861;\x82\r\n</body></html>\r\n";
const char16_t NoEmoji = 0xF975; // its picture goes beside the copy

// Every file (with its size) and folder under path, relative to it; the program's own files
// (the preview, the journal) are left out.
QStringList listing(const QString &path)
{
    QStringList all;
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().startsWith("zemlo."))
            continue;
        const QString name = QDir(path).relativeFilePath(it.filePath());
        all << (it.fileInfo().isDir() ? name + "/" : name + ":" + QString::number(it.fileInfo().size()));
    }
    all.sort();
    return all;
}

} // namespace

class TestExportUtf8 : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    ScriptedPrompts &prompts() { return f->prompts; }
    MDI_Main &main() { return *f->window; }
    QString picture() const
    {
        return Pictographs::imagePath(f->dir.path(), *Pictographs::bySjis(NoEmoji));
    }
    void givePicture(bool given)
    {
        QFile::remove(picture());
        if (given) {
            QVERIFY(QFile::copy(Pictographs::imagePath(ZEMLO_SOURCE_DATA, *Pictographs::bySjis(NoEmoji)),
                                picture()));
        }
    }

    // The page opened and changed by typing, so that it has an edit state and undo to keep.
    Form_Editer *openChangedPage()
    {
        Form_Editer *doc = f->openPage("page.html", Page);
        doc->RichTextBox1->setFocus();
        QTest::keyClick(doc->RichTextBox1, Qt::Key_End, Qt::ControlModifier);
        type(doc, "x");
        return doc;
    }

    struct DocumentState
    {
        QString text, name;
        Form_Editer::EditState state;
        RichImage undo, after;
        friend bool operator==(const DocumentState &, const DocumentState &) = default;
    };
    static DocumentState stateOf(Form_Editer *doc)
    {
        return {doc->RichTextBox1->Text(), doc->HtmlName(), doc->EditerFr, doc->UndoBuff,
                doc->BuffBuff};
    }

private Q_SLOTS:
    void initTestCase()
    {
        f = std::make_unique<MainWindowFixture>();
        QVERIFY(QDir(f->dir.path()).mkdir("out"));
    }
    void cleanupTestCase() { f.reset(); }
    void cleanup()
    {
        closeAllQuietly(main());
        QVERIFY2(!prompts().pendingAnswers(), "a scripted answer was not asked for");
        prompts().clear();
    }

    void theCopyIsWrittenAndThePageStaysAsItWas()
    {
        givePicture(true);
        Form_Editer *doc = openChangedPage();
        QVERIFY(doc->isModified());
        const DocumentState before = stateOf(doc);
        const QString copy = f->path("out/page-utf8.html");
        prompts().answerFile(copy);
        main().runCommand(Cmd::m_mutf8);

        // The dialog is Save As's, proposing the page's name marked as the copy.
        QCOMPARE(prompts().shown().first().kind, ScriptedPrompts::Shown::File);
        const FileDialogRequest &dialog = prompts().shown().first().file;
        QVERIFY(dialog.kind == FileDialogKind::Save);
        QCOMPARE(dialog.fileName, f->path("page-utf8.html"));
        QCOMPARE(dialog.nameFilters, CommonDialog::qtFilters(SaveFilter));
        QCOMPARE(dialog.defaultSuffix, QStringLiteral("html"));
        QVERIFY(dialog.overwritePrompt);

        const QString fine = Pictographs::bySjis(0xF89F)->emoji;
        QCOMPARE(QString::fromUtf8(readFile(copy)),
                 "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
                 "</head>\r\n<body>" + fine + "<img src=\"emoji/63861.gif\" alt=\"iモード\">\uFFFD\r\n"
                 "</body></html>\r\nx");
        QCOMPARE(listing(f->path("out")),
                 QStringList({"emoji/", "emoji/63861.gif:" + QString::number(QFileInfo(picture()).size()),
                              "page-utf8.html:" + QString::number(QFileInfo(copy).size())}));
        QCOMPARE(readFile(f->path("out/emoji/63861.gif")), readFile(picture()));
        compareMessages(prompts(), {{"UTF-8 で書き出しました。\r\n" + copy +
                                         "\r\n\r\n標準の絵文字にした絵文字: 1\r\n"
                                         "画像にした絵文字: 1（1 個の画像を emoji フォルダにコピー）\r\n"
                                         "U+FFFD にした不正なバイト: 1（2 行目）\r\n"
                                         "文字コードの宣言を UTF-8 に変更しました。",
                                     Prompt::Buttons::Ok, Prompt::Icon::Information, "情報"}});

        // The document is as it was: text, name, edit state, undo; its file too.
        QVERIFY(stateOf(doc) == before);
        QCOMPARE(caption(doc), f->path("page.html"));
        QCOMPARE(readFile(f->path("page.html")), Page);
        prompts().clear();
        main().runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->Text(), Cp932::decodePage(Page).text);
        QVERIFY(QDir(f->path("out")).removeRecursively() && QDir(f->dir.path()).mkdir("out"));
    }

    // A cancel or a failure writes nothing, leaves nothing half written and keeps the page.
    void failuresLeaveNothingBehind_data()
    {
        QTest::addColumn<QString>("target"); // in out/; empty: cancelled
        QTest::addColumn<bool>("pictureThere");
        QTest::addColumn<QString>("message"); // its start
        QTest::newRow("cancelled") << QString() << true << QString();
        QTest::newRow("folder not writable") << "locked/copy.html" << true << "Error 70\r\n\r\n";
        QTest::newRow("no such folder") << "gone/copy.html" << true << "Error 76\r\n\r\n";
        QTest::newRow("picture missing") << "copy.html" << false << "Error 53\r\n\r\n";
        QTest::newRow("the page itself") << "../page.html" << true
                                         << f->path("out/../page.html") + "\r\n\r\n開いているページには書き出せません。";
    }
    void failuresLeaveNothingBehind()
    {
        QFETCH(QString, target);
        QFETCH(bool, pictureThere);
        QFETCH(QString, message);
        givePicture(pictureThere);
        QDir out(f->path("out"));
        QVERIFY(out.mkpath("locked"));
        QVERIFY(QFile::setPermissions(out.filePath("locked"),
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        Form_Editer *doc = openChangedPage();
        const DocumentState before = stateOf(doc);
        const QStringList files = listing(f->dir.path());
        prompts().answerFile(target.isEmpty() ? std::nullopt : std::optional(out.filePath(target)));
        main().runCommand(Cmd::m_mutf8);

        const QList<MessageRequest> shown = prompts().messages();
        if (message.isEmpty()) {
            QVERIFY(shown.isEmpty());
        } else {
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown.first().text.startsWith(message), qPrintable(shown.first().text));
            QCOMPARE(shown.first().title, message.startsWith("Error") ? "Error" : "情報");
        }
        QCOMPARE(listing(f->dir.path()), files);
        QCOMPARE(readFile(f->path("page.html")), Page);
        QVERIFY(stateOf(doc) == before);
        QVERIFY(QFile::setPermissions(out.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner |
                                                                 QFile::ExeOwner));
    }
};

ZEMLO_TEST_MAIN(TestExportUtf8)
#include "tst_exportutf8.moc"

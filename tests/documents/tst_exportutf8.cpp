#include "DocumentTestSupport.h"
#include "ZemloTestMain.h"

#include "documents/SaveCommands.h"
#include "platform/CommonDialog.h"
#include "text/Pictographs.h"

#include <QDirIterator>
#include <unistd.h>

using namespace doctest;

namespace {
// A pictograph with an emoji, one without (its picture goes beside the copy), an invalid byte.
const QByteArray Page = "<head><meta charset=Shift_JIS></head>\r\n\xF8\x9F&#63861;\x82\r\n";
QString picture()
{
    return Pictographs::bySjis(0xF975)->imageFile();
}

// Every file and folder under path but the program's own (the preview, the journal).
QSet<QString> listing(const QString &path)
{
    QSet<QString> all;
    for (QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        if (const QString name = QDir(path).relativeFilePath(it.next()); !name.startsWith("zemlo."))
            all << name;
    return all;
}
} // namespace

class TestExportUtf8 : public QObject
{
    Q_OBJECT
    MainWindowFixture f;

private Q_SLOTS:
    void cleanup()
    {
        closeAllQuietly(*f.window);
        QVERIFY2(!f.prompts.pendingAnswers(), "a scripted answer was not asked for");
        f.prompts.clear();
    }

    // The copy and its picture are written, or on a cancel or a failure nothing at all; the
    // page (text, name, edit state, undo, file) stays as it was either way.
    void exportWritesTheCopyAndNothingElse_data()
    {
        QTest::addColumn<QString>("target"); // empty: cancelled
        QTest::addColumn<bool>("pictureThere");
        QTest::addColumn<QString>("message"); // its start
        QTest::newRow("written")
            << "copy.html" << true
            << "UTF-8 で書き出しました。\r\n" + f.path("copy.html") +
                   "\r\n\r\n標準の絵文字にした絵文字: 1\r\n"
                   "画像にした絵文字: 1（1 個の画像を emoji フォルダにコピー）\r\n"
                   "U+FFFD にした不正なバイトと外字: 1（2 行目）\r\n"
                   "文字コードの宣言を UTF-8 に変更しました。";
        QTest::newRow("cancelled") << "" << true << "";
        QTest::newRow("folder not writable") << "locked/copy.html" << true << "Error 70\r\n\r\n";
        QTest::newRow("no such folder") << "gone/copy.html" << true << "Error 76\r\n\r\n";
        QTest::newRow("picture missing") << "copy.html" << false << "Error 53\r\n\r\n";
        QTest::newRow("the page itself")
            << "page.html" << true << f.path("page.html") + "\r\n\r\n開いているページ";
        QTest::newRow("a second name of the page")
            << "hard.html" << true << f.path("hard.html") + "\r\n\r\n開いているページ";
    }
    void exportWritesTheCopyAndNothingElse()
    {
        QFETCH(QString, target);
        QFETCH(bool, pictureThere);
        QFETCH(QString, message);
        const QStringList written = message.startsWith("UTF-8")
                                        ? QStringList{"copy.html", "emoji", "emoji/63861.gif"}
                                        : QStringList();
        QFile::remove(f.path(picture()));
        QVERIFY(!pictureThere ||
                QFile::copy(QString(ZEMLO_SOURCE_DATA "/") + picture(), f.path(picture())));
        QVERIFY(QDir(f.dir.path()).mkpath("locked"));
        QVERIFY(QFile::setPermissions(f.path("locked"), QFile::ReadOwner | QFile::ExeOwner));
        Form_Editer *doc = f.openPage("page.html", Page);
        QFile::remove(f.path("hard.html"));
        QCOMPARE(
            ::link(QFile::encodeName(f.path("page.html")), QFile::encodeName(f.path("hard.html"))),
            0);
        doc->RichTextBox1->setFocus();
        QTest::keyClick(doc->RichTextBox1, Qt::Key_End, Qt::ControlModifier);
        type(doc, "x");
        const auto state = [doc] {
            return std::tuple(doc->RichTextBox1->Text(), doc->HtmlName(), doc->EditerFr,
                              doc->UndoBuff, doc->BuffBuff, caption(doc),
                              readFile(doc->HtmlName()));
        };
        const auto before = state();
        const QSet<QString> files = listing(f.dir.path());
        f.prompts.answerFile(target.isEmpty() ? std::nullopt : std::optional(f.path(target)));
        f.window->runCommand(Cmd::m_mutf8);

        const QList<MessageRequest> shown = f.prompts.messages();
        QCOMPARE(shown.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(message.isEmpty() ||
                     (shown.first().text.startsWith(message) &&
                      shown.first().title == (message.startsWith("Error") ? "Error" : "情報")),
                 qPrintable(shown.value(0).text));
        QCOMPARE(listing(f.dir.path()), files + QSet<QString>(written.cbegin(), written.cend()));
        QVERIFY(state() == before);
        QFile::setPermissions(f.path("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (written.isEmpty())
            return;

        // The dialog is Save As's, proposing the page's name marked as the copy.
        const FileDialogRequest &dialog = f.prompts.shown().first().file;
        QVERIFY(dialog.kind == FileDialogKind::Save && dialog.overwritePrompt);
        QCOMPARE(dialog.nameFilters, CommonDialog::qtFilters(SaveFilter));
        QCOMPARE(dialog.fileName + dialog.defaultSuffix, f.path("page-utf8.html") + "html");
        QCOMPARE(QString::fromUtf8(readFile(f.path("copy.html"))),
                 "<head><meta charset=UTF-8></head>\r\n" + Pictographs::bySjis(0xF89F)->emoji +
                     "<img src=\"emoji/63861.gif\" alt=\"iモード\">\uFFFD\r\nx");
        QCOMPARE(readFile(f.path("emoji/63861.gif")), readFile(f.path(picture())));
        QVERIFY(QFile::remove(f.path("copy.html")) && QDir(f.path("emoji")).removeRecursively());
    }

    // A picture of the user's own where the copy's picture goes is replaced only when the user
    // agrees, as an existing copy is; a failed export leaves it, and the old copy, as they were.
    void picturesThereAreReplacedOnlyWhenAgreed_data()
    {
        QTest::addColumn<bool>("own");        // the picture there is the user's, not the same
        QTest::addColumn<int>("answer");      // to the question, when one is asked
        QTest::addColumn<bool>("writable");   // the copy's folder (its emoji folder always is)
        QTest::addColumn<QString>("message"); // the start of the message after it, if any
        QTest::newRow("the same picture: nothing asked")
            << false << -1 << true << "UTF-8 で書き出しました。";
        QTest::newRow("another picture, not replaced")
            << true << int(Prompt::Answer::No) << true << "";
        QTest::newRow("another picture, replaced")
            << true << int(Prompt::Answer::Yes) << true << "UTF-8 で書き出しました。";
        QTest::newRow("another picture, replaced, then the copy fails")
            << true << int(Prompt::Answer::Yes) << false << "Error 70\r\n\r\n";
    }
    void picturesThereAreReplacedOnlyWhenAgreed()
    {
        QFETCH(bool, own);
        QFETCH(int, answer);
        QFETCH(bool, writable);
        QFETCH(QString, message);
        QFile::remove(f.path(picture()));
        QVERIFY(QFile::copy(QString(ZEMLO_SOURCE_DATA "/") + picture(), f.path(picture())));
        const QByteArray program = readFile(f.path(picture()));
        const QByteArray mine = own ? QByteArray("GIF89a, my own") : program;
        QVERIFY(QDir(f.dir.path()).mkpath("site/emoji"));
        writeFile(f.path("site/emoji/63861.gif"), mine);
        writeFile(f.path("site/copy.html"), "old copy");
        const QFile::Permissions open = QFile::permissions(f.path("."));
        QVERIFY(QFile::setPermissions(f.path("site"),
                                      writable ? open : QFile::ReadOwner | QFile::ExeOwner));
        f.openPage("page.html", Page);
        f.prompts.answerFile(f.path("site/copy.html"));
        if (answer >= 0)
            f.prompts.answer(Prompt::Answer(answer));
        f.window->runCommand(Cmd::m_mutf8);
        QFile::setPermissions(f.path("site"), open);

        const QList<MessageRequest> shown = f.prompts.messages();
        QCOMPARE(shown.size(), int(answer >= 0) + int(!message.isEmpty()));
        QVERIFY2(answer < 0 || (shown.first().text ==
                                    "次の画像は既に存在し、書き出す絵文字の画像と内容が異なります。"
                                    "\r\n" + f.path("site/emoji/63861.gif") +
                                    "\r\n\r\n置き換えますか？" &&
                                shown.first().buttons == Prompt::Buttons::YesNo),
                 qPrintable(shown.first().text));
        QVERIFY2(message.isEmpty() || shown.last().text.startsWith(message),
                 qPrintable(shown.last().text));
        const bool written = message.startsWith("UTF-8");
        QCOMPARE(readFile(f.path("site/emoji/63861.gif")), written ? program : mine);
        QCOMPARE(readFile(f.path("site/copy.html")) != "old copy", written);
        const auto names = [this](const QString &folder) {
            return QDir(f.path(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                  QDir::Hidden);
        };
        QCOMPARE(names("site") + names("site/emoji"),
                 QStringList({"copy.html", "emoji", "63861.gif"}));
        QVERIFY(QDir(f.path("site")).removeRecursively());
    }
};

ZEMLO_TEST_MAIN(TestExportUtf8)
#include "tst_exportutf8.moc"

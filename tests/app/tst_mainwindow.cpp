#include "MainWindowFixture.h"
#include "OnePixelGif.h"
#include "ZemloTestMain.h"

#include "app/MDI_Module.h"
#include "app/Main.h"
#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "documents/Form_Editer.h"
#include "documents/SizeText.h"
#include "widgets/RichTextBox.h"
#include "widgets/Twips.h"
#include "widgets/WebBrowser.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}
int shownLength(WebBrowser *browser)
{
    auto length = std::make_shared<int>(-1);
    if (browser->view())
        browser->view()->page()->toPlainText(
                [length](const QString &t) { *length = int(t.trimmed().size()); });
    QTest::qWaitFor([&] { return *length >= 0; }, 5000);
    return *length;
}
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startsInTheNoDocumentState()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        QCOMPARE(w->windowTitle(), QString("Zemlo"));
        QVERIFY(w->isVisible());
        QStringList shown;
        for (QAction *a : w->menuBar()->actions())
            if (a->isVisible())
                shown << a->objectName();
        QCOMPARE(shown, (QStringList{"m_menu", "m_view", "m_navi"}));
        QCOMPARE(w->StatusBar1->panelText(2), QString("0 KB"));
        // Only New, Open template, Open, the site commands, Window size and Exit are usable in
        // the File menu.
        QStringList usable;
        for (QAction *a : w->menu("m_menu")->actions())
            if (!a->isSeparator() && a->isEnabled())
                usable << a->objectName();
        QCOMPARE(usable, (QStringList{"m_mnew", "m_mtemp", "m_mopen", "m_msite", "m_mslnk",
                                      "m_msfnd", "m_msutf", "m_mwin", "m_mexit"}));
        for (const char *off : {"t_load", "t_save", "t_name", "t_winV", "t_winH", "t_winC",
                                "t_tag", "t_ime", "t_pall", "t_col", "t_pre", "m_eime", "m_vtag",
                                "m_vpre"})
            QVERIFY2(!w->action(off)->isEnabled(), off);
        for (const char *on : {"t_exit", "t_new", "t_temp", "t_open", "Toolbar2_1", "Toolbar2_2",
                               "Toolbar2_4", "Toolbar2_5"})
            QVERIFY2(w->action(on)->isEnabled(), on);
        // The empty preview file exists.
        QCOMPARE(readAll(ProgramFiles::preview(f.dir.path())), QByteArray());
    }

    void barsCarryEveryButtonWithAnImage()
    {
        MainWindowFixture f;
        int buttons = 0;
        for (QAction *a : f.window->Toolbar1->actions()) {
            ++buttons;
            if (a->isSeparator())
                continue;
            QVERIFY2(!a->icon().pixmap(16, 16).toImage().isNull(), qPrintable(a->objectName()));
        }
        QCOMPARE(buttons, 16);
        QCOMPARE(f.window->Toolbar2->actions().size(), 8);
        QCOMPARE(f.window->action("t_winV")->toolTip(), QString("上下に並べて表示"));
        QCOMPARE(f.window->action("t_winH")->toolTip(), QString("左右に並べて表示"));
        QCOMPARE(f.window->action("t_exit")->toolTip(), QString());
    }

    void defaultSettingsAppliedAndWrittenAtClose()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        QVERIFY(w->isChecked(Cmd::m_vtcl));
        QVERIFY(w->isChecked(Cmd::m_vrpr));
        QVERIFY(!w->isChecked(Cmd::m_vb08));
        QVERIFY(w->isChecked(Cmd::m_vb10));
        QCOMPARE(w->Picture2->width(), 204);
        QCOMPARE(w->WebBrowser1->width(), 202);
        QVERIFY(f.close());
        QCOMPARE(readAll(ProgramFiles::settings(f.dir.path())),
                 QByteArray("#TRUE#,#TRUE#,#FALSE#,#TRUE#\r\n"));
    }

    void storedSettingsComeBackUnchanged_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<int>("paneWidth");
        QTest::newRow("all changed") << QByteArray("#FALSE#,#FALSE#,#TRUE#,#FALSE#\r\n")
                                     << QByteArray("#FALSE#,#FALSE#,#TRUE#,#FALSE#\r\n") << 176;
        QTest::newRow("fourth value ignored") << QByteArray("#TRUE#,#TRUE#,#FALSE#,#FALSE#\r\n")
                                              << QByteArray("#TRUE#,#TRUE#,#FALSE#,#TRUE#\r\n")
                                              << 204;
        QTest::newRow("two fields") << QByteArray("#FALSE#,#TRUE#\r\n")
                                    << QByteArray("#FALSE#,#TRUE#,#FALSE#,#TRUE#\r\n") << 204;
    }
    void storedSettingsComeBackUnchanged()
    {
        QFETCH(QByteArray, stored);
        MainWindowFixture f(stored);
        QTEST(f.window->Picture2->width(), "paneWidth");
        QVERIFY(f.close());
        QTEST(readAll(ProgramFiles::settings(f.dir.path())), "written");
    }

    void widthPresetsSetRatherThanFlip()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        for (int i = 0; i < 2; ++i) {
            w->runCommand(Cmd::m_vb08);
            QVERIFY(w->isChecked(Cmd::m_vb08));
            QVERIFY(!w->isChecked(Cmd::m_vb10));
            QCOMPARE(Twips::fromPixels(w->Picture2->width(), 96.0), 2640);
            QCOMPARE(Twips::fromPixels(w->WebBrowser1->width(), 96.0), 2610);
            QCOMPARE(w->Toolbar2->width(), w->WebBrowser1->width());
        }
        w->runCommand(Cmd::m_vb10);
        QVERIFY(!w->isChecked(Cmd::m_vb08));
        QCOMPARE(w->Picture2->width(), 204);
        // Changed settings are written at the end of the run.
        w->runCommand(Cmd::m_vrpr);
        w->runCommand(Cmd::m_vb08);
        QVERIFY(f.close());
        QCOMPARE(readAll(ProgramFiles::settings(f.dir.path())),
                 QByteArray("#TRUE#,#FALSE#,#TRUE#,#FALSE#\r\n"));
    }

    // 80 % of the screen, centred, but never past its edges: on the test screen, 800 pixels
    // wide, the window's bars make it wider than that, and it lies within the screen all the
    // same. (A scaled screen, where the bars give up width, is a journey's.)
    void fitsTheScreenItOpensOn()
    {
        MainWindowFixture f;
        const QRect area = f.window->screen()->availableGeometry();
        QVERIFY2(area.width() <= 800, "the test screen is a small one");
        QVERIFY(area.contains(f.window->frameGeometry()));
    }

    void tinyWindowKeepsRunning()
    {
        MainWindowFixture f;
        const QRect before = f.window->WebBrowser1->geometry();
        f.window->Picture2->resize(f.window->Picture2->width(), 3);
        f.window->Picture2_Resize();
        QCOMPARE(f.window->WebBrowser1->geometry(), before);
    }

    void cautionMessage()
    {
        MainWindowFixture f;
        f.window->runCommand(Cmd::m_vtyui);
        QCOMPARE(f.prompts.messages().size(), 1);
        const MessageRequest m = f.prompts.messages().first();
        QCOMPARE(m.title, QString("プレビューについて"));
        QCOMPARE(m.icon, Prompt::Icon::Information);
        QCOMPARE(m.buttons, Prompt::Buttons::Ok);
        const QStringList lines = m.text.split("\r\n");
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.at(1), QString());
        QCOMPARE(lines.at(3), QString("　　’固定フォントを選択、表示文字サイズを中’"));
    }

    void secondCopyIsRefused()
    {
        QTemporaryDir dir;
        ScriptedPrompts first, second;
        RunningProgram one = Main(dir.path(), &first, {});
        QVERIFY(one.window);
        RunningProgram two = Main(dir.path(), &second, {});
        QVERIFY(!two.window);
        QCOMPARE(second.messages().size(), 1);
        QCOMPARE(second.messages().first().text, QString("このアプリケーションは既に起動されています。"));
        QCOMPARE(second.messages().first().title, QString("確認"));
        QCOMPARE(second.messages().first().buttons, Prompt::Buttons::Ok);
        // The first copy goes on untouched.
        QVERIFY(one.window->isVisible());
        QCOMPARE(first.messages().size(), 0);
        one.window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete one.window;
    }

    void missingPictographListKeepsPictographCommandsOff()
    {
        MainWindowFixture f({}, false);
        QVERIFY(!MDI_Module::PictographListFound);
        f.window->EnableDocumentCommands();
        QVERIFY(!f.window->action(Cmd::m_eime)->isEnabled());
        QVERIFY(!f.window->action("t_ime")->isEnabled());
        QVERIFY(f.window->action("t_save")->isEnabled());
        QVERIFY(f.window->menu("m_edit")->menuAction()->isVisible());
    }

    // The keys go where a user's go: to the box, which keeps the focus. The box shows whole.
    void addressBoxColoursAndEnter_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<int>("key");
        QTest::newRow("typed, Enter") << false << int(Qt::Key_Return);
        QTest::newRow("typed, keypad Enter") << false << int(Qt::Key_Enter);
        QTest::newRow("chosen from the list, Enter") << true << int(Qt::Key_Return);
    }
    void addressBoxColoursAndEnter()
    {
        QFETCH(bool, chosen);
        QFETCH(int, key);
        MainWindowFixture f;
        MDI_Main *w = f.window;
        QComboBox *box = w->Combo1;
        QCOMPARE(box->geometry(), w->Picture1->rect());
        QVERIFY(box->height() >= box->sizeHint().height());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QVERIFY(QTest::qWaitFor([w] { return w->WebBrowser1->isEngineReady(); }, 20000));
        box->setFocus();
        const QString page = f.path("other.html");
        writeFile(page, "<p>x</p>");
        if (chosen) {
            // Choosing from the open list only puts the address into the box.
            w->onDocumentComplete(page);
            w->onDocumentComplete("https://example.com/later");
            box->clearEditText();
            box->showPopup();
            QTest::keyClick(box->view(), Qt::Key_Down);
            QTest::keyClick(box->view(), Qt::Key_Return);
            QCOMPARE(box->currentText(), page);
        } else {
            QTest::keyClicks(box, page);
        }
        QTest::keyClick(box, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QTRY_COMPARE_WITH_TIMEOUT(w->WebBrowser1->LocationURL(), page, 20000);
        QTRY_COMPARE(box->findText(page), chosen ? 1 : 0);
        QCOMPARE(box->count(), chosen ? 2 : 1);
        // The box looks like an input field while it has the focus, like a control otherwise.
        QCOMPARE(box->lineEdit()->palette().color(QPalette::Base),
                 QApplication::palette().color(QPalette::Base));
        w->mdiArea->setFocus();
        QCOMPARE(box->lineEdit()->palette().color(QPalette::Base),
                 QApplication::palette().color(QPalette::Button));
    }

    // A page in a folder of its own shows its own image but nothing from outside its folder,
    // and follows its link to a sibling, which the address box then shows.
    void previewShowsThePagesOwnImagesAndLinks()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("site/img"));
        const QString page = root.path() + "/site/index.html", next = root.path() + "/site/next.html";
        writeFile(root.path() + "/site/img/logo.gif", onePixelGif(255, 0, 0));
        writeFile(root.path() + "/outside.gif", onePixelGif(0, 0, 255));
        writeFile(page, "<body style='margin:0'><img src=\"img/logo.gif\" width=40 height=40><img src="
                        "\"../outside.gif\" width=40 height=40><img src=\"file://" + root.path().toUtf8() +
                        "/outside.gif\" width=40 height=40><a href=\"next.html\" style=\"display:"
                        "block;height:60px\">next</a></body>");
        writeFile(next, "<p>next</p>");
        MainWindowFixture f({}, true, {"zemlo", page});
        MDI_Main *w = f.window;
        QTRY_VERIFY_WITH_TIMEOUT(w->WebBrowser1->view(), 20000);
        const auto pixel = [w](int x) { return w->WebBrowser1->view()->grab().toImage().pixelColor(x, 20); };
        QTRY_COMPARE_WITH_TIMEOUT(pixel(20), QColor(Qt::red), 20000);
        QVERIFY(pixel(60) != QColor(Qt::blue) && pixel(100) != QColor(Qt::blue));
        QCOMPARE(w->Combo1->count(), 0);
        QTest::mouseClick(w->WebBrowser1->view()->focusProxy(), Qt::LeftButton, {}, {20, 70});
        QTRY_COMPARE_WITH_TIMEOUT(w->Combo1->currentText(), next, 20000);
        QCOMPARE(w->StatusBar1->panelText(1), QString("完了"));
    }

    // With real-time preview on, the size in the status bar (read by the 5 KB check of saving)
    // is that of the text written last after every key, however far the pane has got.
    void sizeFollowsEveryKeyWhileThePreviewCatchesUp()
    {
        MainWindowFixture f;
        Form_Editer *doc = f.openPage("a.html", QByteArray(3000, 'a'));
        for (int i = 0; i < 20; ++i) {
            QTest::keyClicks(doc->RichTextBox1, QString(50, 'b'));
            QCOMPARE(f.window->StatusBar1->panelText(2),
                     SizeText(QFileInfo(ProgramFiles::preview(f.dir.path())).size() / 1024.0) + " KB");
        }
        QCOMPARE(f.window->StatusBar1->panelText(2), QString("3.90 KB"));
        QTRY_COMPARE_WITH_TIMEOUT(shownLength(f.window->WebBrowser1), 4000, 20000);
    }

    void windowComesBeforeThePreviewWhichThenShowsThePage()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        // Nothing has run since the window was built: it is shown, the engine not yet started.
        QVERIFY(w->isVisible());
        QVERIFY(!w->WebBrowser1->isEngineReady());
        QSignalSpy ready(w->WebBrowser1, &WebBrowser::engineReady);
        QVERIFY(ready.wait(20000));
        // The preview asked for while the window was built is the one shown.
        QTRY_COMPARE_WITH_TIMEOUT(w->WebBrowser1->LocationURL(),
                                  ProgramFiles::preview(f.dir.path()), 20000);
    }

    void addressBoxLearnsAddressesOnce()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        w->onDocumentComplete(ProgramFiles::preview(f.dir.path()));
        QCOMPARE(w->Combo1->count(), 0);
        w->onDocumentComplete("https://example.com/a");
        w->onDocumentComplete("https://example.com/b");
        w->onDocumentComplete("https://example.com/a");
        QCOMPARE(w->Combo1->count(), 2);
        QCOMPARE(w->Combo1->itemText(0), QString("https://example.com/b"));
        QCOMPARE(w->Combo1->currentText(), QString("https://example.com/b"));
    }
};

ZEMLO_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

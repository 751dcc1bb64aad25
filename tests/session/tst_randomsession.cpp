// A long random session across several document windows: keystrokes, tool insertions, undos,
// commands, opens, saves and closes in a fixed pseudo-random order. After every step the
// program must still stand, and every page file must hold exactly the text last saved to it.
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "app/MDI_Main.h"
#include "app/StatusPanels.h"
#include "documents/Form_Editer.h"
#include "documents/SaveCommands.h"
#include "documents/ToolInsertion.h"
#include "text/Cp932.h"
#include "widgets/RichTextBox.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRandomGenerator>
#include <QTest>

namespace {

constexpr quint32 Seed = 20240607;

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A file's text as the text control holds it: one character per line end.
QString textOfFile(const QString &path)
{
    QString text = Cp932::decode(readFile(path));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QByteArray bytesOfText(const QString &text)
{
    QString crlf = text;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    return Cp932::encode(crlf).bytes;
}

// What the steps type and insert: markup, Japanese of every width, pictographs, and a few
// characters that code page 932 cannot hold (saving turns those into references).
const QStringList Snippets = {
    QStringLiteral("<br>"),
    QStringLiteral("<font color=\"#FF0000\">赤</font>"),
    QStringLiteral("<a href=\"next.htm\" accesskey=\"1\">次へ</a>"),
    QStringLiteral("&#63647;"),
    QStringLiteral("\uE63E\uE63F"),
    QStringLiteral("ｶﾀｶﾅ"),
    QStringLiteral("全角カタカナ　ＡＢＣ"),
    QStringLiteral("①Ⅱ㈱〜−"),
    QStringLiteral("<!-- メモ -->"),
    QStringLiteral("é"),
    QStringLiteral("\U0001F600"),
    QStringLiteral("<hr><center>中央</center>"),
};

// Types text key by key as an input method would deliver it: a key event carrying the text.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

} // namespace

class TestRandomSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomSession()
    {
        // Real-time preview off, so that steps do not wait for the browser; one step in a
        // while turns it on and off again.
        MainWindowFixture f("#TRUE#,#FALSE#,#TRUE#,#FALSE#\r\n");
        MDI_Main &main = *f.window;
        ScriptedPrompts &prompts = f.prompts;
        QRandomGenerator rng(Seed);
        const int steps = qEnvironmentVariableIsSet("ZEMLO_SESSION_STEPS")
                              ? qEnvironmentVariableIntValue("ZEMLO_SESSION_STEPS")
                              : 5000;

        // The pages the session works on, and what each file must hold.
        const QString pages = f.path("pages");
        QVERIFY(QDir().mkpath(pages));
        QStringList paths;
        QHash<QString, QByteArray> onDisk;
        for (int i = 0; i < 6; ++i) {
            const QString path = pages + QStringLiteral("/page%1.html").arg(i);
            paths << path;
            if (i < 4) {
                const QByteArray bytes = bytesOfText(
                    QStringLiteral("<html><body>\n<p>ページ%1</p>\n</body></html>\n").arg(i));
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
                QCOMPARE(file.write(bytes), bytes.size());
                onDisk[path] = bytes;
            }
        }

        const auto pick = [&](const auto &list) { return list.at(rng.bounded(int(list.size()))); };
        QHash<QString, int> counts;
        QString step; // what the current step did, for the failure message

        for (int n = 0; n < steps; ++n) {
            prompts.clear();
            Form_Editer *doc = main.activeDocument();
            const int roll = rng.bounded(1000);
            QString saveTarget; // the path a save of this step may write
            QString textBefore;

            if (!doc || roll < 25) {
                if (main.documents().size() >= 6 && doc) {
                    step = "close";
                } else if (rng.bounded(2) == 0) {
                    step = "new";
                    main.runCommand(Cmd::m_mnew);
                } else {
                    step = "open";
                    const QString path = pick(paths);
                    if (!QFile::exists(path)) {
                        step = "new";
                        main.runCommand(Cmd::m_mnew);
                    } else {
                        prompts.answerFile(path);
                        main.runCommand(Cmd::m_mopen);
                        Form_Editer *opened = main.activeDocument();
                        QVERIFY2(opened, "open gave no window");
                        if (opened->HtmlName() == path && opened->EditerFr == 2)
                            QCOMPARE(opened->RichTextBox1->Text(), textOfFile(path));
                    }
                }
                if (step != "close") {
                    ++counts[step];
                    goto checks;
                }
            }

            if (roll < 450) {
                step = "keys";
                RichTextBox *box = doc->RichTextBox1;
                const int kind = rng.bounded(12);
                if (kind < 5) {
                    QString text;
                    const int length = 1 + rng.bounded(4);
                    for (int i = 0; i < length; ++i) {
                        const int c = rng.bounded(10);
                        text += c < 5   ? QChar(char16_t(u'a' + rng.bounded(26)))
                                : c < 7 ? QChar(char16_t(u'あ' + rng.bounded(80)))
                                : c < 8 ? QChar(u'<')
                                : c < 9 ? QChar(u' ')
                                        : QChar(char16_t(u'ア' + rng.bounded(80)));
                    }
                    typeText(box, text);
                } else {
                    static const Qt::Key keys[] = {
                        Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete,
                        Qt::Key_Left,   Qt::Key_Right,     Qt::Key_Up,
                        Qt::Key_Down,   Qt::Key_Home,      Qt::Key_End};
                    const Qt::Key key = keys[rng.bounded(int(std::size(keys)))];
                    const Qt::KeyboardModifiers mods =
                        rng.bounded(4) == 0 ? Qt::ShiftModifier : Qt::NoModifier;
                    QTest::keyClick(box, key, mods);
                }
            } else if (roll < 540) {
                step = "select";
                RichTextBox *box = doc->RichTextBox1;
                const int size = int(box->Text().size());
                const int start = rng.bounded(size + 1);
                box->setSelStart(start);
                box->setSelLength(rng.bounded(qMin(size - start, 40) + 1));
            } else if (roll < 640) {
                step = "tool";
                InsertAtCaret(main, *doc, pick(Snippets));
            } else if (roll < 740) {
                step = "undo";
                main.runCommand(Cmd::m_eund);
            } else if (roll < 790) {
                step = "save";
                if (doc->HtmlName() == Form_Editer::NewFileName)
                    prompts.answerFile(pick(paths));
                main.runCommand(Cmd::m_msave);
                saveTarget = doc->HtmlName();
            } else if (roll < 820) {
                step = "save as";
                saveTarget = pick(paths);
                main.StatusBar1->setPanelText(2, QStringLiteral("1 KB"));
                SaveDocumentAs(main, saveTarget);
            } else if (roll < 860) {
                step = "activate";
                const QList<QMdiSubWindow *> windows = main.mdiArea->subWindowList();
                if (!windows.isEmpty())
                    main.mdiArea->setActiveSubWindow(pick(windows));
            } else if (roll < 875) {
                step = "narrow";
                main.runCommand(Cmd::m_ezth);
            } else if (roll < 890) {
                step = "tag colour";
                main.runCommand(Cmd::m_vtag);
            } else if (roll < 900) {
                step = "arrange";
                main.runCommand(pick(QList<Command>{Cmd::m_wt, Cmd::m_wy, Cmd::m_wc}));
            } else if (roll < 905) {
                step = "real-time preview";
                main.runCommand(Cmd::m_vrpr);
            } else if (roll < 915) {
                step = "reload";
                if (doc->HtmlName() != Form_Editer::NewFileName) {
                    main.runCommand(Cmd::m_mrel);
                    Form_Editer *reloaded = main.activeDocument();
                    if (reloaded && reloaded->EditerFr == 2 &&
                        reloaded->HtmlName() == doc->HtmlName())
                        QCOMPARE(reloaded->RichTextBox1->Text(), textOfFile(reloaded->HtmlName()));
                }
            } else {
                step = "close";
            }

            if (step == "close") {
                // Yes saves a named page before closing it; No drops the edits.
                const bool modified = doc->EditerFr >= 3;
                const bool yes = rng.bounded(3) != 0;
                if (modified)
                    prompts.answer(yes ? Prompt::Answer::Yes : Prompt::Answer::No);
                const QString name = doc->HtmlName();
                textBefore = doc->RichTextBox1->Text();
                main.runCommand(Cmd::m_mclos);
                QCoreApplication::processEvents();
                const bool closing = main.documents().contains(doc);
                if (modified && yes && name != Form_Editer::NewFileName) {
                    // Written with references for what code page 932 cannot hold.
                    const QString written = Cp932::withCharacterReferences(textBefore);
                    onDisk[name] = bytesOfText(written);
                    QVERIFY2(!closing, "the window stayed open after its page was saved");
                } else if (modified && yes) {
                    QVERIFY2(closing, "a new page closed without being saved");
                } else {
                    QVERIFY2(!closing, "the window did not close");
                }
            }
            ++counts[step];

            if (!saveTarget.isEmpty() && doc == main.activeDocument()) {
                // Every answer was taken and the page is written and unmodified.
                const QList<MessageRequest> shown = prompts.messages();
                for (const MessageRequest &m : shown)
                    QVERIFY2(m.title != QStringLiteral("Error"), qPrintable(m.text));
                if (doc->HtmlName() != Form_Editer::NewFileName) {
                    QCOMPARE(doc->EditerFr, 2);
                    const QString path = doc->HtmlName();
                    // The text written as code page 932 (〜 typed is written as its Windows
                    // form, which reads back as ～): compared as bytes.
                    QCOMPARE(readFile(path), bytesOfText(doc->RichTextBox1->Text()));
                    onDisk[path] = readFile(path);
                }
            }

        checks:
            QVERIFY2(!prompts.pendingAnswers(),
                     qPrintable(QStringLiteral("step %1 (%2) left an answer").arg(n).arg(step)));
            if (n % 50 == 0)
                QCoreApplication::processEvents();
            // Every page file holds what was last saved to it, complete.
            for (auto it = onDisk.cbegin(); it != onDisk.cend(); ++it) {
                if (readFile(it.key()) != it.value()) {
                    QFAIL(qPrintable(QStringLiteral("step %1 (%2): %3 does not hold its last "
                                                    "saved text")
                                         .arg(n)
                                         .arg(step, it.key())));
                }
            }
            for (Form_Editer *d : main.documents()) {
                QVERIFY(d->EditerFr >= 0 && d->EditerFr <= 3);
                QVERIFY(!d->HtmlName().isEmpty());
            }
            if (QTest::currentTestFailed())
                return;
        }

        QStringList summary;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            summary << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
        summary.sort();
        qInfo("%d steps: %s", steps, qPrintable(summary.join(", ")));
        QVERIFY(counts.value("save") > 0 && counts.value("close") > 0 && counts.value("open") > 0);
    }
};

ZEMLO_TEST_MAIN(TestRandomSession)
#include "tst_randomsession.moc"

// Find, replace and go to line as the user works them: keys into the document's text and the
// find bar of the real main window.
#include "FakeHost.h"
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "app/StatusPanels.h"
#include "documents/DocumentCommands.h"
#include "documents/Form_Editer.h"
#include "widgets/RichTextBox.h"
#include "widgets/WebBrowser.h"
#include "tools/FindBar.h"
#include "tools/FindCommands.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QLayout>
#include <QPushButton>
#include <QStyle>

class TestFindBar : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    Form_Editer *doc = nullptr;
    RichTextBox *box = nullptr;

    FindBar *bar() const { return qobject_cast<FindBar *>(doc->bottomBar()); }
    QString status() const { return f->window->StatusBar1->panelText(1); }
    QPair<int, int> selection() const { return {box->SelStart(), box->SelLength()}; }
    void key(QWidget *to, const char *keys)
    {
        const QKeyCombination combo = QKeySequence(QString::fromLatin1(keys))[0];
        QTest::keyClick(to, combo.key(), combo.keyboardModifiers());
    }
    // Typed key by key, as an input method hands over Japanese text.
    void typeInto(QWidget *to, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, to, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void startWith(const QString &text, int caret)
    {
        if (bar() && bar()->isVisible())
            key(bar()->findField, "Esc");
        box->setText(text);
        box->setSelStart(caret);
        box->setFocus();
    }
    void setChecked(QCheckBox *check, bool on)
    {
        if (check->isChecked() != on)
            QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
        QCOMPARE(check->isChecked(), on);
    }

private Q_SLOTS:
    void initTestCase()
    {
        f = std::make_unique<MainWindowFixture>();
        doc = f->openPage("page.html", "");
        box = doc->RichTextBox1;
        f->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f->window));
    }
    void cleanupTestCase() { f.reset(); }

    void findsAsTheUserTypes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("ignoreWidth");
        QTest::addColumn<int>("start"); // -1: not found
        QTest::addColumn<int>("length");
        QTest::newRow("first after the caret") << "abc abc abc" << 2 << "abc" << false << false << 4 << 3;
        QTest::newRow("each letter keeps the match") << "ab abc" << 0 << "abc" << false << false << 3 << 3;
        QTest::newRow("wraps to the start") << "abc xyz" << 5 << "abc" << false << false << 0 << 3;
        QTest::newRow("case ignored") << "x ABC" << 0 << "abc" << false << false << 2 << 3;
        QTest::newRow("case kept") << "ABC abc" << 0 << "abc" << true << false << 4 << 3;
        QTest::newRow("widths differ") << u"ＡＢＣ"_qs << 0 << "ABC" << false << false << -1 << 0;
        QTest::newRow("widths ignored") << u"xガイド"_qs << 0 << u"ｶﾞｲﾄﾞ"_qs << false << true << 1 << 3;
        QTest::newRow("nothing") << "abc" << 0 << "xyz" << false << false << -1 << 0;
    }
    void findsAsTheUserTypes()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QString, typed);
        QFETCH(bool, matchCase);
        QFETCH(bool, ignoreWidth);
        QFETCH(int, start);
        QFETCH(int, length);
        startWith(text, caret);
        key(box, "Ctrl+F");
        QVERIFY(bar() && bar()->isVisible());
        setChecked(bar()->matchCase, matchCase);
        setChecked(bar()->ignoreWidth, ignoreWidth);
        bar()->findField->setFocus();
        bar()->findField->selectAll();
        typeInto(bar()->findField, typed);
        const bool red = bar()->findField->palette().color(QPalette::Base) != bar()->palette().color(QPalette::Base);
        QCOMPARE(red, start < 0);
        QCOMPARE(status() == QStringLiteral("見つかりません"), start < 0);
        if (start >= 0)
            QCOMPARE(selection(), qMakePair(start, length));
        setChecked(bar()->matchCase, false);
        setChecked(bar()->ignoreWidth, false);
    }

    void stepsWrapsAndRepeatsWithTheBarClosed()
    {
        startWith("one two one two one", 0);
        key(box, "Ctrl+F");
        QTest::keyClicks(bar()->findField, "one");
        QCOMPARE(selection(), qMakePair(0, 3));
        const QString atEnd = QStringLiteral("ページの末尾に達したので、先頭から検索しました");
        const QString atStart = QStringLiteral("ページの先頭に達したので、末尾から検索しました");
        const struct { const char *key; int start; QString status; } steps[] = {
            {"F3", 8, {}}, {"Return", 16, {}}, {"F3", 0, atEnd},
            {"Shift+F3", 16, atStart}, {"Shift+Return", 8, {}}};
        for (const auto &step : steps) {
            key(bar()->findField, step.key);
            QCOMPARE(selection(), qMakePair(step.start, 3));
            QCOMPARE(status(), step.status);
        }
        key(bar()->findField, "Esc");
        QVERIFY(!bar()->isVisible());
        QCOMPARE(QApplication::focusWidget(), box);
        // The bar closed, F3 in the text looks for the same again.
        key(box, "F3");
        QCOMPARE(selection(), qMakePair(16, 3));
        QVERIFY(!bar()->isVisible());
    }

    void replacesOneThenAllAndUndoTakesAllBack()
    {
        startWith("<p>cat</p> cat cat", 0);
        key(box, "Ctrl+H");
        QVERIFY(bar()->replaceField->isVisible());
        QTest::keyClicks(bar()->findField, "cat");
        QTest::keyClicks(bar()->replaceField, "dog");
        key(bar()->replaceField, "Return");
        QCOMPARE(box->Text(), QStringLiteral("<p>dog</p> cat cat"));
        QCOMPARE(selection(), qMakePair(11, 3));
        QTest::mouseClick(bar()->replaceAllButton, Qt::LeftButton);
        QCOMPARE(box->Text(), QStringLiteral("<p>dog</p> dog dog"));
        QCOMPARE(status(), QStringLiteral("2 件置換しました"));
        // The preview reloading says 完了 only after the user's next action.
        Q_EMIT f->window->WebBrowser1->StatusTextChange(QStringLiteral("完了"));
        QCOMPARE(status(), QStringLiteral("2 件置換しました"));
        QVERIFY(doc->isModified());
        key(box, "Ctrl+Z");
        QCOMPARE(box->Text(), QStringLiteral("<p>dog</p> cat cat"));
        Q_EMIT f->window->WebBrowser1->StatusTextChange(QStringLiteral("完了"));
        QCOMPARE(status(), QStringLiteral("完了"));
    }

    // At the size a document window opens with, each field shows 15 characters and every
    // caption is whole; each option has its access key.
    void fitsTheDefaultDocumentWindow()
    {
        startWith("abc", 0);
        doc->parentWidget()->resize(540, 360);
        key(box, "Ctrl+H");
        QVERIFY(bar()->replaceField->isVisible());
        bar()->layout()->activate();
        for (QLineEdit *field : {bar()->findField, bar()->replaceField}) {
            const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            QVERIFY2(field->width() - 2 * frame - 4 >=
                         field->fontMetrics().horizontalAdvance(QString(15, QChar(0x3042))),
                     qPrintable(field->objectName()));
        }
        for (QWidget *w : bar()->findChildren<QWidget *>()) {
            if (!w->isVisible() || qobject_cast<QLineEdit *>(w))
                continue;
            QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
            const QRect inBar(w->mapTo(bar(), QPoint()), w->size());
            QVERIFY2(bar()->rect().contains(inBar), qPrintable(w->objectName()));
        }
        for (QCheckBox *option : {bar()->matchCase, bar()->ignoreWidth}) {
            const QString text = option->text();
            const qsizetype amp = text.indexOf('&');
            QVERIFY2(amp >= 0, qPrintable(text));
            const QByteArray keys = "Alt+" + text.mid(amp + 1, 1).toLatin1();
            // An access key clicks its button a moment later.
            key(bar()->findField, keys.constData());
            QTRY_VERIFY2(option->isChecked(), keys.constData());
            key(bar()->findField, keys.constData());
            QTRY_VERIFY(!option->isChecked());
        }
        key(bar()->findField, "Esc");
    }

    void replaceAllIsOneStepWithOnePreview()
    {
        FakeHost host;
        InstallDocumentCommands(host);
        InstallFindCommands(host);
        host.setChecked(Cmd::m_vrpr, true);
        Form_Editer *page = host.openPage("a.html", "<b>a</b>a<b>a</b>");
        page->RichTextBox1->setSelStart(9);
        page->RichTextBox1->setSelLength(3);
        page->RichTextBox1->setSelColor(0x00FF00); // the second <b>
        const RichImage before = page->RichTextBox1->TextRTF();
        host.runCommand(Cmd::m_erepl);
        FindBar &found = FindBar::of(host, *page);
        QTest::keyClicks(found.findField, "a");
        QTest::keyClicks(found.replaceField, "xyz");
        const int previews = host.previews;
        QTest::mouseClick(found.replaceAllButton, Qt::LeftButton);
        QCOMPARE(page->RichTextBox1->Text(), QStringLiteral("<b>xyz</b>xyz<b>xyz</b>"));
        QCOMPARE(host.previews, previews + 1);
        // The colours moved with the text.
        QCOMPARE(page->RichTextBox1->colorAt(15), 0x00FF00u);
        QCOMPARE(page->UndoBuff, before);
        host.runCommand(Cmd::m_eund);
        QCOMPARE(page->RichTextBox1->TextRTF(), before);
    }

    void goesToTheLineAsked_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("line"); // 0: refused with a message; -1: cancelled
        QTest::newRow("in range") << "4" << 4;
        QTest::newRow("zero") << "0" << 1;
        QTest::newRow("negative") << "-3" << 1;
        QTest::newRow("past the end") << "99" << 5;
        QTest::newRow("past any number") << "99999999999999999999" << 5;
        QTest::newRow("full-width digits") << u"３"_qs << 3;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("cancelled") << "" << -1;
    }
    void goesToTheLineAsked()
    {
        QFETCH(QString, answer);
        QFETCH(int, line);
        startWith("l1\nl2\nl3\nl4\nl5", 4); // on line 2
        f->prompts.clear();
        f->prompts.answerInput(answer);
        key(box, "Ctrl+G");
        QCOMPARE(f->prompts.shown().first().input.defaultText, QStringLiteral("2"));
        QCOMPARE(f->prompts.messages().size(), line == 0 ? 1 : 0);
        QCOMPARE(box->SelStart(), line > 0 ? (line - 1) * 3 : 4);
    }
};

ZEMLO_TEST_MAIN(TestFindBar)
#include "tst_findbar.moc"

#include "CommandByName.h"
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "taglib/Form_TAG.h"
#include "tools/Form_ColPal.h"
#include "tools/Form_IME.h"

#include <QTimer>
#include <QWindow>

// The tool windows belong to the main window: the window system keeps them above it, so that
// a dialog closing never leaves one of them behind the page.
class TestToolWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ownedByTheMainWindow_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("tag library") << "m_etag";
        QTest::newRow("pictograph picker") << "m_eime";
        QTest::newRow("colour palette") << "m_ecol";
    }

    void ownedByTheMainWindow()
    {
        QFETCH(QString, command);
        MainWindowFixture g;
        QVERIFY(g.openPage("page.html", "abc"));
        const Command item = commandNamed(command);
        QWidget *tool = nullptr;
        bool checked = false;
        const auto check = [&] {
            tool = g.window->findChild<Form_ColPal *>();
            if (!tool)
                tool = g.window->findChild<Form_IME *>();
            if (!tool)
                tool = g.window->findChild<Form_TAG *>();
            if (!tool)
                return;
            QCOMPARE(tool->parentWidget(), g.window);
            QVERIFY(tool->isVisible());
            QVERIFY(tool->windowType() == Qt::Tool || tool->windowType() == Qt::Dialog);
            QVERIFY(tool->windowHandle());
            QCOMPARE(tool->windowHandle()->transientParent(), g.window->windowHandle());
            checked = true;
        };
        // The palette waits in its own loop: looked at from there, then closed.
        QTimer::singleShot(0, g.window, [&] {
            if (auto *palette = g.window->findChild<Form_ColPal *>()) {
                check();
                palette->close();
            }
        });
        g.window->runCommand(item);
        if (!checked)
            check();
        QVERIFY(checked);
    }
};

ZEMLO_TEST_MAIN(TestToolWindows)
#include "tst_toolwindows.moc"

#include "documents/OpenDocument.h"
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "app/MDI_Module.h"
#include "documents/Form_Editer.h"
#include "widgets/RichTextBox.h"
#include "widgets/Twips.h"
#include "tools/Form_ColPal.h"

#include <QAction>
#include <QCheckBox>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

class TestColorPalette : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;

    MDI_Main &main() { return *f->window; }

    Form_Editer *openPage(const QByteArray &text)
    {
        QFile file(f->path("page.html"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return nullptr;
        file.write(text);
        file.close();
        OpenDocument(main(), f->path("page.html"));
        return main().activeDocument();
    }

    // Runs the palette command; act drives the modal palette while it waits.
    bool runPalette(const std::function<void(Form_ColPal &)> &act)
    {
        bool shown = false;
        QTimer::singleShot(0, &main(), [&] {
            Form_ColPal *palette = main().findChild<Form_ColPal *>();
            if (!palette)
                return;
            shown = palette->isVisible() && palette->isModal();
            act(*palette);
            // Never leave a test waiting on a palette the action failed to hide.
            if (palette->isVisible())
                palette->close();
        });
        main().runCommand(Cmd::m_ecol);
        return shown && !main().findChild<Form_ColPal *>();
    }

    void undo(Form_Editer *doc)
    {
        if (main().hasHandler(Cmd::m_eund))
            main().runCommand(Cmd::m_eund);
        else
            doc->RichTextBox1->setTextRTF(doc->UndoBuff);
    }

private Q_SLOTS:
    void initTestCase() { f = std::make_unique<MainWindowFixture>(); }

    void cleanup()
    {
        for (Form_Editer *doc : main().documents()) {
            doc->setCloseAgreed(true);
            qobject_cast<QMdiSubWindow *>(doc->parentWidget())->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void buttonsInTheirDesign_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("face");
        const char *texts[] = {"FF0000", "FF8000", "FFFF00", "00FF00", "00FFFF",
                               "0000FF", "FF00FF", "FFFFFF", "808080", "000000"};
        const QColor faces[] = {QColor(255, 0, 0),   QColor(255, 128, 0),   QColor(255, 255, 0),
                                QColor(0, 255, 0),   QColor(0, 255, 255),   QColor(0, 0, 255),
                                QColor(255, 0, 255), QColor(255, 255, 255), QColor(128, 128, 128),
                                QColor(0, 0, 0)};
        for (int i = 0; i < 10; ++i)
            QTest::addRow("button %d", i) << i << QString(texts[i]) << faces[i];
    }

    void buttonsInTheirDesign()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(QColor, face);
        Form_ColPal palette(&main());
        QCOMPARE(palette.windowTitle(), QStringLiteral("Color Palette"));
        QCOMPARE(palette.parentWidget(), &main());
        QCOMPARE(palette.size(), QSize(Twips::toPixels(2385, 96.0), Twips::toPixels(4275, 96.0)));
        QPushButton *button = palette.Command1[index];
        QCOMPARE(button->accessibleName(), text);
        QVERIFY(button->text().isEmpty());
        QCOMPARE(button->geometry(),
                 QRect(Twips::toPixels(180, 96.0), Twips::toPixels(180 + 360 * index, 96.0),
                       Twips::toPixels(1995, 96.0), Twips::toPixels(315, 96.0)));
        const QImage shot = button->grab().toImage();
        QCOMPARE(shot.pixelColor(shot.rect().center()), face);
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        // Tab order: the buttons top down, then the check box.
        QWidget *next = index < 9 ? static_cast<QWidget *>(palette.Command1[index + 1])
                                  : static_cast<QWidget *>(palette.Check1);
        QCOMPARE(button->nextInFocusChain(), next);
        QCOMPARE(palette.Check1->text(), QStringLiteral("同時にTAGを育成(&T)"));
        QCOMPARE(palette.Check1->geometry(),
                 QRect(Twips::toPixels(180, 96.0), Twips::toPixels(3840, 96.0),
                       Twips::toPixels(1995, 96.0), Twips::toPixels(315, 96.0)));
        QCOMPARE(palette.Check1->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(palette.GetCol.isEmpty());
    }

    void clickInsertsAtTheCaret_data()
    {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("expected");
        QTest::newRow("clear, button 0") << false << 0 << 3 << 0 << "abc#FF0000def";
        QTest::newRow("ticked, button 9") << true << 9 << 0 << 0 << "<FONT COLOR=#000000>abcdef";
        QTest::newRow("ticked, button 1") << true << 1 << 6 << 0 << "abcdef<FONT COLOR=#FF8000>";
        QTest::newRow("over a selection") << false << 4 << 1 << 4 << "a#00FFFFf";
    }

    void clickInsertsAtTheCaret()
    {
        QFETCH(bool, tick);
        QFETCH(int, index);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, expected);
        Form_Editer *doc = openPage("abcdef");
        QVERIFY(doc);
        doc->RichTextBox1->setSelStart(selStart);
        doc->RichTextBox1->setSelLength(selLength);
        QVERIFY(runPalette([&](Form_ColPal &palette) {
            palette.Check1->setChecked(tick);
            QTest::mouseClick(palette.Command1[index], Qt::LeftButton);
        }));
        QCOMPARE(doc->RichTextBox1->Text(), expected);
        const int inserted = int(expected.size()) - 6 + selLength;
        QCOMPARE(doc->RichTextBox1->SelStart(), selStart + inserted);
        QCOMPARE(doc->RichTextBox1->SelLength(), 0);
        QCOMPARE(doc->UndoBuff.text.toString(), QStringLiteral("abcdef"));
        QCOMPARE(doc->BuffBuff.text.toString(), expected);
        QCOMPARE(doc->EditerFr, 3);
        QVERIFY(MDI_Module::TrackEdits);
        undo(doc);
        QCOMPARE(doc->RichTextBox1->Text(), QStringLiteral("abcdef"));
    }

    void escapeInsertsNothing()
    {
        Form_Editer *doc = openPage("abcdef");
        QVERIFY(doc);
        const RichImage before = doc->RichTextBox1->TextRTF();
        const RichImage undoBefore = doc->UndoBuff;
        QString chosen = QStringLiteral("<unset>");
        bool hidden = false;
        QVERIFY(runPalette([&](Form_ColPal &palette) {
            palette.Check1->setChecked(true);
            palette.Command1[4]->setFocus();
            QTest::keyClick(palette.Command1[4], Qt::Key_Escape);
            hidden = !palette.isVisible();
            chosen = palette.GetCol;
        }));
        QVERIFY(hidden);
        QVERIFY(chosen.isEmpty());
        QCOMPARE(doc->RichTextBox1->TextRTF(), before);
        QCOMPARE(doc->UndoBuff, undoBefore);
        QCOMPARE(doc->EditerFr, 2);
        // The next palette starts from its design again; its title bar closes it unchosen.
        bool ticked = true;
        QVERIFY(runPalette([&](Form_ColPal &palette) {
            ticked = palette.Check1->isChecked();
            palette.close();
        }));
        QVERIFY(!ticked);
        QCOMPARE(doc->RichTextBox1->TextRTF(), before);
        QCOMPARE(doc->EditerFr, 2);
    }

    void otherKeysOnAButtonDoNothing()
    {
        Form_ColPal palette(&main());
        palette.show();
        QTest::keyClick(palette.Command1[2], Qt::Key_A);
        QVERIFY(palette.isVisible());
        QVERIFY(palette.GetCol.isEmpty());
    }

    void choiceWithoutADocumentIsDropped()
    {
        QCOMPARE(main().activeDocument(), nullptr);
        main().action(Cmd::m_ecol)->setEnabled(true);
        QVERIFY(runPalette([](Form_ColPal &palette) { palette.Command1[0]->click(); }));
        QVERIFY(MDI_Module::TrackEdits);
        QCOMPARE(main().activeDocument(), nullptr);
    }
};

ZEMLO_TEST_MAIN(TestColorPalette)
#include "tst_colorpalette.moc"

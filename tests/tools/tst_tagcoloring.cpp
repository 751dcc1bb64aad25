#include "FakeHost.h"
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "app/MDI_Module.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "widgets/RichTextBox.h"
#include "tools/TagColoring.h"

#include "text/Cp932.h"

#include <QImage>
#include <QMdiSubWindow>
#include <QScrollBar>

namespace {
quint32 plain() { return RichTextBox::colorValue(RichTextBox::resolveColor(RichTextBox::WindowTextColor)); }
} // namespace

class TestTagColoring : public QObject
{
    Q_OBJECT
    // The pass needs no main window: a stand-in host runs it and counts previews.
    std::unique_ptr<FakeHost> host;
    Form_Editer *doc = nullptr;

    // The colour of each character, as a string of run letters for easy comparison.
    QList<quint32> colours() const
    {
        QList<quint32> out;
        const int n = int(doc->RichTextBox1->Text().size());
        const QString text = doc->RichTextBox1->Text();
        // Line ends have no colour to show.
        for (int i = 0; i < n; ++i)
            out.append(text.at(i) == '\n' ? 0xFFFFFFFFu : doc->RichTextBox1->colorAt(i));
        return out;
    }
    static QList<quint32> expected(const QString &text, const QList<ColorRun> &spans)
    {
        QList<quint32> out(text.size(), plain());
        for (const ColorRun &r : spans)
            for (int i = r.start; i < r.start + r.length; ++i)
                out[i] = r.color;
        for (int i = 0; i < text.size(); ++i)
            if (text.at(i) == '\n')
                out[i] = 0xFFFFFFFFu;
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        host = std::make_unique<FakeHost>();
        InstallTagColoring(*host);
        host->setChecked(Cmd::m_vtcl, true);
        doc = OpenDocument(*host, Form_Editer::NewFileName);
    }
    void cleanupTestCase() { host.reset(); }

    void pass_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<ColorRun>>("spans");
        using R = QList<ColorRun>;
        QTest::newRow("bold") << "<b>bold</b>" << R{{0, 3, 0x800000}, {7, 4, 0x800000}};
        QTest::newRow("anchor") << "</A><a href=x>" << R{{0, 4, 0x800080}, {4, 10, 0x800080}};
        QTest::newRow("comment") << "<!-- note -->" << R{{0, 13, 0x000080}};
        QTest::newRow("empty and blank") << "<>< a>" << R{{0, 2, 0x404040}, {2, 4, 0x404040}};
        QTest::newRow("no span") << "a > b" << R{};
        QTest::newRow("unclosed ends the scan") << "x <y" << R{};
        QTest::newRow("digit") << "1<2 and 3>2" << R{{1, 9, 0x404040}};
        QTest::newRow("first > ends a comment") << "<!-- a > b -->" << R{{0, 8, 0x000080}};
        QTest::newRow("inner < belongs to the span") << "<a<b>" << R{{0, 5, 0x800080}};
        QTest::newRow("across lines") << "<p\nclass=x>\n<img>"
                                      << R{{0, 11, 0x800000}, {12, 5, 0xFF8080}};
        QTest::newRow("empty document") << "" << R{};
    }
    void pass()
    {
        QFETCH(QString, text);
        QFETCH(QList<ColorRun>, spans);
        MDI_Module::TrackEdits = false;
        doc->RichTextBox1->setText(text);
        MDI_Module::TrackEdits = true;
        // Leftover colours from before must go.
        doc->RichTextBox1->colorWhole({{0, int(text.size()), 0x00FF00}});
        doc->RichTextBox1->setSelStart(int(text.size()));
        doc->EditerFr = Form_Editer::Modified;
        const RichImage undo = doc->UndoBuff, after = doc->BuffBuff;
        const int previews = host->previews;
        host->runCommand(Cmd::m_vtag);
        QCOMPARE(colours(), expected(text, spans));
        QCOMPARE(doc->RichTextBox1->SelStart(), 0);
        QCOMPARE(doc->RichTextBox1->SelLength(), 0);
        QCOMPARE(doc->EditerFr, Form_Editer::Modified);
        QCOMPARE(doc->UndoBuff, undo);
        QCOMPARE(doc->BuffBuff, after);
        QCOMPARE(host->previews, previews);
        QCOMPARE(host->busy, 0); // the pointer is restored
        QVERIFY(doc->RichTextBox1->isVisible());
        QVERIFY(doc->RichTextBox1->isEnabled());
        QVERIFY(MDI_Module::TrackEdits);
    }

    void switchOffLeavesEverything()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        Form_Editer *doc = OpenDocument(*w, Form_Editer::NewFileName);
        doc->RichTextBox1->setText("<b>x</b>");
        doc->RichTextBox1->colorWhole({{0, 2, 0x00FF00}});
        doc->RichTextBox1->setSelStart(5);
        w->runCommand(Cmd::m_vtcl);
        QVERIFY(!w->isChecked(Cmd::m_vtcl));
        w->runCommand(Cmd::m_vtag);
        QCOMPARE(doc->RichTextBox1->colorAt(0), 0x00FF00u);
        QCOMPARE(doc->RichTextBox1->colorAt(3), plain());
        QCOMPARE(doc->RichTextBox1->SelStart(), 5);
        // The tool-bar button runs the same command.
        w->Toolbar2_ButtonClick(8);
        QCOMPARE(doc->RichTextBox1->colorAt(0), 0x00FF00u);
        w->runCommand(Cmd::m_vtcl);
        w->Toolbar2_ButtonClick(8);
        QCOMPARE(doc->RichTextBox1->colorAt(0), 0x800000u);
    }

    // A page in one line, as minified pages come: its colours follow typing wherever it is, and
    // the part on screen is drawn in them.
    void longLineColoursFollowEdits_data()
    {
        QTest::addColumn<double>("where");
        QTest::addColumn<QString>("between");
        QTest::newRow("start") << 0.0 << "本日";
        QTest::newRow("middle") << 0.5 << "本日";
        QTest::newRow("end") << 1.0 << "本日";
        // Tab stops count from the start of the line.
        QTest::newRow("middle, tabs") << 0.5 << "本\t日";
    }
    void longLineColoursFollowEdits()
    {
        QFETCH(double, where);
        QFETCH(QString, between);
        const QString unit = "<font color=red>ｾｰﾙ</font>" + between + "<a href=x>メニュー</a>";
        const QString page = unit.repeated(400);
        MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window));
        if (!f.window->isChecked(Cmd::m_vtcl))
            f.window->runCommand(Cmd::m_vtcl);
        Form_Editer *doc = f.openPage("one.html", Cp932::encode(page).bytes);
        RichTextBox *box = doc->RichTextBox1;
        // One line, shown in rows.
        QCOMPARE(box->lineCount(), 1);
        QVERIFY(box->document()->blockCount() > 1);
        const quint32 font = box->colorAt(0), anchor = box->colorAt(int(unit.indexOf("<a")));
        QVERIFY(font != plain() && anchor != plain() && font != anchor);

        // Into the "<a" of the chosen unit: a typed character takes the colour of the tag.
        const int unitAt = qMin(int(where * 400), 399) * int(unit.size());
        const int at = unitAt + int(unit.indexOf("<a")) + 1;
        box->setSelStart(at);
        box->setFocus();
        QTest::keyClicks(box, "bb");
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->Text(), QString(page).insert(at, 'b'));
        QCOMPARE(box->colorAt(at - 1), anchor);
        QCOMPARE(box->colorAt(at), anchor);
        QCOMPARE(box->colorAt(at - 2), plain()); // 日
        QCOMPARE(box->colorAt(unitAt), font);
        QCOMPARE(box->colorAt(int(box->Text().size()) - 1), anchor);

        // What the screen shows: the tag at the caret in its colour, the plain text beside it
        // in none. The caret inverts what it covers: it is not shown without the focus.
        box->clearFocus();
        box->viewport()->repaint();
        const QImage shown = box->viewport()->grab().toImage();
        const auto area = [&](int from, int to) {
            QTextCursor c(box->document());
            c.setPosition(box->documentPosition(from));
            const QRect a = box->cursorRect(c);
            c.setPosition(box->documentPosition(to));
            // Inside the characters' cells: a glyph's edge may reach a pixel into its neighbour's.
            return QRect(a.topLeft(), box->cursorRect(c).bottomLeft())
                .adjusted(2, 0, -2, 0)
                .intersected(shown.rect());
        };
        const auto tinted = [&](const QRect &r, quint32 colour) {
            const QColor want = RichTextBox::resolveColor(colour);
            const double w[3] = {255.0 - want.red(), 255.0 - want.green(), 255.0 - want.blue()};
            int hits = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) {
                    // Glyph edges blend with the page: a pixel shows the colour when its
                    // distance from white points the colour's way, and is no small part of it.
                    const QColor c = shown.pixelColor(x, y);
                    const double d[3] = {255.0 - c.red(), 255.0 - c.green(), 255.0 - c.blue()};
                    const double dot = d[0] * w[0] + d[1] * w[1] + d[2] * w[2];
                    const double dd = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
                    const double ww = w[0] * w[0] + w[1] * w[1] + w[2] * w[2];
                    if (dd > 0.2 * ww && dot * dot > 0.98 * dd * ww)
                        ++hits;
                }
            return hits;
        };
        const QRect tag = area(at - 1, at + 8);
        QVERIFY(!tag.isEmpty());
        QVERIFY(tinted(tag, anchor) > 0);
        QCOMPARE(tinted(tag, font), 0);
        const QRect text = area(at - 1 - int(between.size()), at - 1);
        QVERIFY(!text.isEmpty());
        QCOMPARE(tinted(text, anchor) + tinted(text, font), 0);

        // A selection made with the keys shows over the colours.
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(box->SelText(), QString("<b"));
        box->clearFocus();
        box->viewport()->repaint();
        const QImage selected = box->viewport()->grab().toImage();
        const QRgb highlight = box->palette().color(QPalette::Highlight).rgb();
        const QRect sel = area(at - 1, at + 1);
        int highlighted = 0;
        for (int y = sel.top(); y <= sel.bottom(); ++y)
            for (int x = sel.left(); x <= sel.right(); ++x)
                highlighted += selected.pixel(x, y) == highlight;
        QVERIFY(highlighted > sel.width() * sel.height() / 3);
    }

    void colorOneTagFollowsTheCaret()
    {
        doc->RichTextBox1->setText("ab<font>c>");
        doc->RichTextBox1->setSelStart(2);
        TagScanPos = 3;
        QVERIFY(ColorOneTag(*host));
        QCOMPARE(TagScanPos, 8);
        QCOMPARE(doc->RichTextBox1->colorAt(2), 0x008000u);
        QCOMPARE(doc->RichTextBox1->colorAt(7), 0x008000u);
        QCOMPARE(doc->RichTextBox1->colorAt(8), plain());
        doc->RichTextBox1->setText("<open");
        doc->RichTextBox1->setSelStart(0);
        TagScanPos = 1;
        QVERIFY(!ColorOneTag(*host));
        QCOMPARE(TagScanPos, 1);
    }
};

ZEMLO_TEST_MAIN(TestTagColoring)
#include "tst_tagcoloring.moc"

#include "text/Cp932.h"
#include "widgets/RichTextBox.h"
#include "platform/ZError.h"

#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}
} // namespace

class TestRichTextBox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void changeIsRaisedOncePerOperation()
    {
        RichTextBox box;
        QSignalSpy spy(&box, &RichTextBox::Change);
        int textLengthInside = -1;
        // Synchronous: the handler already sees the new text.
        connect(&box, &RichTextBox::Change, this, [&] { textLengthInside = box.Text().size(); });
        box.setText("line one\nline two");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(textLengthInside, 17);
        box.setSelStart(4);
        box.setSelText("XY");
        QCOMPARE(spy.count(), 2);
        box.setTextRTF(RichImage{QString("abc"), {{0, 1, 0x0000FF}}});
        QCOMPARE(spy.count(), 3);
        // Setting an empty text is a change too, as loading an empty page is.
        box.setText(QString());
        QCOMPARE(spy.count(), 4);
        // Colours alone are not.
        box.setText("<b>x</b>");
        spy.clear();
        box.setSelStart(0);
        box.setSelLength(3);
        box.setSelColor(0x800000);
        box.colorWhole({{0, 3, 0x800000}});
        QCOMPARE(spy.count(), 0);
    }

    void selectionOperations()
    {
        RichTextBox box;
        box.setText("abc\ndef");
        QCOMPARE(box.Text(), QString("abc\ndef"));
        box.setSelStart(2);
        box.setSelLength(3);
        QCOMPARE(box.SelText(), QString("c\nd"));
        QCOMPARE(box.SelStart(), 2);
        box.setSelText("Z");
        QCOMPARE(box.Text(), QString("abZef"));
        QCOMPARE(box.SelStart(), 3);
        QCOMPARE(box.SelLength(), 0);
        // Past the end puts the caret at the end; a too long selection stops there.
        box.setSelStart(99);
        QCOMPARE(box.SelStart(), 5);
        box.setSelStart(4);
        box.setSelLength(10);
        QCOMPARE(box.SelText(), QString("f"));
        box.setSelRTF("{\\rtf1 not rich}");
        QCOMPARE(box.Text(), QString("abZe{\\rtf1 not rich}"));
    }

    void imagesRestoreTextAndColoursExactly()
    {
        RichTextBox box;
        box.setText("<a>x</a>\n<b>y");
        box.colorWhole({{0, 3, 0x800080}, {4, 4, 0x800080}, {9, 3, 0x800000}});
        const RichImage image = box.TextRTF();
        QCOMPARE(box.colorAt(0), 0x800080u);
        QCOMPARE(box.colorAt(9), 0x800000u);
        RichTextBox other;
        other.setTextRTF(image);
        QCOMPARE(other.TextRTF(), image);
        QCOMPARE(other.colorAt(1), 0x800080u);
        QCOMPARE(other.colorAt(3), RichTextBox::colorValue(RichTextBox::resolveColor(
                                       RichTextBox::WindowTextColor)));
        other.setTextRTF(RichImage{});
        QCOMPARE(other.Text(), QString());
    }

    void coloursFollowEdits_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("remove");
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<ColorRun>>("runs");
        using R = QList<ColorRun>;
        // Start: "ab<b>cd</b>ef" with <b> and </b> navy.
        QTest::newRow("typing before a run shifts it")
            << 0 << 0 << "xy" << "xyab<b>cd</b>ef" << R{{4, 3, 0x800000}, {9, 4, 0x800000}};
        QTest::newRow("typing inside a run grows it")
            << 3 << 0 << "x" << "ab<xb>cd</b>ef" << R{{2, 4, 0x800000}, {8, 4, 0x800000}};
        QTest::newRow("typing right behind a run continues it")
            << 5 << 0 << "x" << "ab<b>xcd</b>ef" << R{{2, 4, 0x800000}, {8, 4, 0x800000}};
        QTest::newRow("deleting across two runs keeps both ends")
            << 4 << 4 << "" << "ab<b/b>ef" << R{{2, 2, 0x800000}, {4, 3, 0x800000}};
        QTest::newRow("deleting a whole run drops it")
            << 2 << 3 << "" << "abcd</b>ef" << R{{4, 4, 0x800000}};
        QTest::newRow("replacing the start of a run") << 7 << 2 << "Z" << "ab<b>cdZb>ef"
                                                      << R{{2, 3, 0x800000}, {8, 2, 0x800000}};
    }
    void coloursFollowEdits()
    {
        QFETCH(int, at);
        QFETCH(int, remove);
        QFETCH(QString, insert);
        RichTextBox box;
        box.setText("ab<b>cd</b>ef");
        box.colorWhole({{2, 3, 0x800000}, {7, 4, 0x800000}});
        box.setSelStart(at);
        box.setSelLength(remove);
        box.setSelText(insert);
        QTEST(box.Text(), "text");
        QTEST(box.TextRTF().runs, "runs");
    }

    void coloursAreDrawnWhereverTheUserScrolls()
    {
        RichTextBox box;
        box.resize(300, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QString text;
        QList<ColorRun> spans;
        for (int i = 0; i < 3000; ++i) {
            spans.append({int(text.size()), 3, 0x800000});
            text += "<b>x\n";
        }
        box.setText(text);
        box.colorWhole(spans);
        auto drawn = [&](int blockNumber) {
            const QList<QTextLayout::FormatRange> formats =
                box.document()->findBlockByNumber(blockNumber).layout()->formats();
            return formats.size() == 1 && formats.first().start == 0 &&
                   formats.first().length == 3 &&
                   formats.first().format.foreground().color() == QColor(0, 0, 128);
        };
        QVERIFY(drawn(0));
        box.setSelStart(int(text.size()));
        box.ensureCursorVisible();
        box.viewport()->repaint();
        QVERIFY2(drawn(2999), qPrintable(QString::number(box.cursorForPosition(QPoint(2, 2)).blockNumber())));
        QVERIFY(drawn(2995));
    }

    void editsRedrawTheirBlock()
    {
        RichTextBox box;
        box.resize(300, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setText("<b>x\nplain");
        box.colorWhole({{0, 3, 0x800000}});
        auto drawnFormats = [&](int blockNumber) {
            QList<std::pair<int, int>> ranges;
            for (const auto &f : box.document()->findBlockByNumber(blockNumber).layout()->formats())
                ranges.append({f.start, f.length});
            return ranges;
        };
        // Typing inside the tag widens its colour; the drawn formats follow at once.
        box.setSelStart(1);
        box.setSelText("i");
        QCOMPARE(drawnFormats(0), (QList<std::pair<int, int>>{{0, 4}}));
        // A line end inside the run splits it over two blocks, each drawn for its own part.
        box.setSelStart(2);
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(drawnFormats(0), (QList<std::pair<int, int>>{{0, 2}}));
        QCOMPARE(drawnFormats(1), (QList<std::pair<int, int>>{{0, 2}}));
        // Joined again, the line carries both parts as one.
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(drawnFormats(0), (QList<std::pair<int, int>>{{0, 4}}));
        QCOMPARE(drawnFormats(1), (QList<std::pair<int, int>>{}));
    }

    void scrollBarsFollowTheWidestLineAcrossResizes()
    {
        RichTextBox box;
        box.resize(300, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setText(QString("short\n").repeated(50));
        QCoreApplication::processEvents();
        QCOMPARE(box.horizontalScrollBar()->maximum(), 0);
        box.resize(600, 300);
        QCoreApplication::processEvents();
        box.resize(200, 150);
        QCoreApplication::processEvents();
        QCOMPARE(box.horizontalScrollBar()->maximum(), 0);
        QVERIFY(box.verticalScrollBar()->maximum() > 0);
        box.setText(QString(400, QLatin1Char('w')) + "\nshort");
        box.viewport()->repaint();
        QCoreApplication::processEvents();
        const int narrow = box.horizontalScrollBar()->maximum();
        QVERIFY(narrow > 0);
        // A wider window leaves less of the line to scroll to.
        box.resize(500, 150);
        QCoreApplication::processEvents();
        QVERIFY(box.horizontalScrollBar()->maximum() > 0);
        QVERIFY(box.horizontalScrollBar()->maximum() < narrow);
    }

    void textSetIsTextReadBack()
    {
        // Characters the document turns into paragraph ends read back as line ends, whether
        // the text came whole or as an image.
        RichTextBox box;
        const QStringList texts = {QString("a\rb\r\nc"), QString("a") + QChar(0x2028) + "b",
                                   QString("a") + QChar(0x2029) + "b",
                                   QString("a") + QChar(0xFDD0) + "b" + QChar(0xFDD1),
                                   QString("plain\n\nlines\n")};
        for (const QString &text : texts) {
            for (int asImage = 0; asImage < 2; ++asImage) {
                if (asImage)
                    box.setTextRTF(RichImage{text, {}});
                else
                    box.setText(text);
                QString fresh = box.document()->toRawText();
                fresh.replace(QChar::ParagraphSeparator, '\n').replace(QChar::LineSeparator, '\n');
                QCOMPARE(box.Text(), fresh);
                box.setSelStart(1);
                box.setSelText("x");
                fresh = box.document()->toRawText();
                fresh.replace(QChar::ParagraphSeparator, '\n').replace(QChar::LineSeparator, '\n');
                QCOMPARE(box.Text(), fresh);
            }
        }
    }

    void textStaysInStepWithEdits()
    {
        // The text is kept up to date edit by edit; it must always equal a fresh read.
        RichTextBox box;
        box.setText("first line\nsecond\n");
        QRandomGenerator random(932);
        const QStringList pieces = {"a", "\n", "<b>", "全角", "\n\nx", ""};
        for (int step = 0; step < 400; ++step) {
            const int size = int(box.Text().size());
            box.setSelStart(int(random.bounded(size + 1)));
            box.setSelLength(int(random.bounded(4)));
            if (step % 7 == 0)
                QTest::keyClick(&box, Qt::Key_Backspace);
            else if (step % 11 == 0)
                QTest::keyClick(&box, Qt::Key_Return);
            else
                box.setSelText(pieces.at(int(random.bounded(pieces.size()))));
            QString fresh = box.document()->toRawText();
            fresh.replace(QChar::ParagraphSeparator, '\n');
            QCOMPARE(box.Text(), fresh);
        }
        QCOMPARE(box.fileBytes(), Cp932::encode(QString(box.Text()).replace("\n", "\r\n")).bytes);
    }

    void paintingMergesNeighbours()
    {
        RichTextBox box;
        box.setText("0123456789");
        auto paint = [&](int from, int length, quint32 color) {
            box.setSelStart(from);
            box.setSelLength(length);
            box.setSelColor(color);
        };
        paint(0, 3, 0xFF);
        paint(6, 2, 0xFF);
        paint(3, 3, 0xFF);
        QCOMPARE(box.TextRTF().runs, (QList<ColorRun>{{0, 8, 0xFF}}));
        paint(2, 2, RichTextBox::WindowTextColor);
        QCOMPARE(box.TextRTF().runs, (QList<ColorRun>{{0, 2, 0xFF}, {4, 4, 0xFF}}));
        paint(1, 8, 0xFF00);
        QCOMPARE(box.TextRTF().runs, (QList<ColorRun>{{0, 1, 0xFF}, {1, 8, 0xFF00}}));
    }

    void systemColourIsResolved()
    {
        RichTextBox box;
        box.setText("abc");
        box.setSelStart(0);
        box.setSelLength(3);
        box.setSelColor(0x0000FF);
        QCOMPARE(box.colorAt(1), 0x0000FFu);
        box.setSelColor(RichTextBox::WindowTextColor);
        QCOMPARE(box.colorAt(1), RichTextBox::colorValue(QApplication::palette().color(QPalette::Text)));
        box.setSelColor(0x80000005);
        QCOMPARE(box.colorAt(1), RichTextBox::colorValue(QApplication::palette().color(QPalette::Base)));
    }

    // A line of many kilobytes is shown in rows; the text, positions, lines, copies and the
    // saved bytes never see where the rows break, whatever the keys do beside a break.
    void longLinesAreRowsOnScreenOnly()
    {
        RichTextBox box;
        box.resize(400, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QString unit = "<a href=x>メニュー</a>本日";
        QString model = "head\n" + unit.repeated(600) + "\ntail";
        box.setText(model);
        const int rows = box.document()->blockCount();
        QVERIFY(rows > 5);
        QRandomGenerator random(4096);
        for (int step = 0; step < 300; ++step) {
            // Beside a break as often as anywhere else.
            int at = int(random.bounded(int(model.size()) + 1));
            if (step % 2) {
                const QTextBlock row = box.document()->findBlockByNumber(
                    int(random.bounded(box.document()->blockCount())));
                box.setTextCursor(QTextCursor(row));
                at = qBound(0, box.SelStart() + int(random.bounded(3)) - 1, int(model.size()));
            }
            box.setSelStart(at);
            const int kind = (step / 2) % 6;
            if (kind == 0) {
                QTest::keyClick(&box, Qt::Key_Backspace);
                if (at > 0)
                    model.remove(at - 1, 1);
            } else if (kind == 1) {
                QTest::keyClick(&box, Qt::Key_Delete);
                model.remove(at, 1);
            } else if (kind == 2) {
                QTest::keyClicks(&box, "xy");
                model.insert(at, "xy");
            } else if (kind == 3) {
                // A selection over rows, copied and pasted back twice.
                const int length = int(random.bounded(5000));
                box.setSelLength(length);
                const QString selected = model.mid(at, length);
                QCOMPARE(box.SelText(), selected);
                QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
                QCOMPARE(QGuiApplication::clipboard()->text(), selected);
                QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
                QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
                model.insert(at + selected.size(), selected);
            } else if (kind == 4) {
                box.setSelLength(int(random.bounded(3000)));
                const int length = box.SelLength();
                QTest::keyClick(&box, Qt::Key_Backspace);
                model.remove(at, length);
            } else {
                QTest::keyClick(&box, step % 5 ? Qt::Key_A : Qt::Key_Return);
                model.insert(at, step % 5 ? "a" : "\n");
            }
            const QString text = box.Text();
            qsizetype differ = 0;
            while (differ < qMin(text.size(), model.size()) && text[differ] == model[differ])
                ++differ;
            QVERIFY2(text == model, qPrintable(QString("step %1 kind %2 at %3: differs at %4, %5 for %6")
                                                   .arg(step).arg(kind).arg(at).arg(differ)
                                                   .arg(text.mid(differ - 5, 12), model.mid(differ - 5, 12))));
            const int caret = box.SelStart();
            QCOMPARE(box.lineOf(caret), int(model.left(caret).count('\n')));
        }
        QCOMPARE(box.lineCount(), int(model.count('\n')) + 1);
        for (int line = 0; line < box.lineCount(); ++line)
            QCOMPARE(box.lineStart(line), line == 0 ? 0 : int(model.indexOf('\n', box.lineStart(line - 1)) + 1));
        for (QTextBlock row = box.document()->firstBlock(); row.isValid(); row = row.next())
            QVERIFY(row.length() <= 2049);
        QCOMPARE(box.fileBytes(), Cp932::encode(QString(model).replace("\n", "\r\n")).bytes);
    }

    // A paste that makes a line long goes in already cut into rows, as one change of the
    // document: a row of the whole line never stands in it to be laid out, nor is it cut
    // one row at a time. Characters beside it keep their byte forms.
    void aLongPasteGoesInCutIntoRows_data()
    {
        QTest::addColumn<QString>("page"); // after a first character kept in another form
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("pasted");
        const QString unit = "<a href=x>メニュー</a>本日";
        const QString rows = unit.repeated(600);
        QTest::newRow("into an empty line") << "" << 1 << 0 << unit.repeated(3000);
        QTest::newRow("inside a line in rows, beside the kept form")
            << rows + "\ntail" << 2 << 0 << unit.repeated(2000);
        QTest::newRow("over rows and a line end, in several lines")
            << "head\n" + rows + "\n" + rows << 3000 << 9000
            << unit.repeated(900) + "\r\n" + unit.repeated(200) + "\nshort\r" + rows;
        QTest::newRow("short, making a line long")
            << QString(2000, 'x') << 1000 << 0 << QString(100, 'y');
        QTest::newRow("short into a short line") << "abc" << 2 << 1 << "xyz\nuvw";
    }
    void aLongPasteGoesInCutIntoRows()
    {
        QFETCH(QString, page);
        QFETCH(int, at);
        QFETCH(int, selected);
        QFETCH(QString, pasted);
        QTemporaryDir dir;
        const QString path = dir.path() + "/page.html";
        writeAll(path, QByteArray::fromHex("87 90") + Cp932::encode(page).bytes);
        RichTextBox box;
        box.resize(400, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.LoadFile(path);
        QString model = box.Text();
        box.setSelStart(at);
        box.setSelLength(selected);
        QGuiApplication::clipboard()->setText(pasted);
        int changes = 0, longestRow = 0;
        const auto onChange = [&](int from, int, int added) {
            ++changes;
            const QTextBlock last = box.document()->findBlock(from + added);
            for (QTextBlock b = box.document()->findBlock(from); b.isValid(); b = b.next()) {
                longestRow = qMax(longestRow, b.length());
                if (b == last)
                    break;
            }
        };
        connect(box.document(), &QTextDocument::contentsChange, &box, onChange);
        QSignalSpy changed(&box, &RichTextBox::Change);
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::processEvents();
        const QString inserted = QString(pasted).replace("\r\n", "\n").replace('\r', '\n');
        model.replace(at, selected, inserted);
        QCOMPARE(box.Text(), model);
        QCOMPARE(changes, 1);
        QCOMPARE(changed.count(), 1);
        QVERIFY2(longestRow <= 2049, qPrintable(QString::number(longestRow)));
        const int end = at + int(inserted.size());
        QCOMPARE(qMakePair(box.SelStart(), box.SelLength()), qMakePair(end, 0));
        QCOMPARE(box.lineCount(), int(model.count('\n')) + 1);
        QCOMPARE(box.fileBytes().left(2), QByteArray::fromHex("87 90"));
        const auto lineEnds = page.contains('\n') ? Cp932::LineEnds::Lf : Cp932::LineEnds::CrLf;
        QCOMPARE(box.fileBytes().mid(2), Cp932::encode(model.mid(1), lineEnds).bytes);
    }

    // A drop inserts inside an edit block of its own that reports its change once complete:
    // a long line dropped is cut into rows after it, the text as dropped.
    void aDroppedLongLineIsCutAfterTheDrop()
    {
        RichTextBox box;
        box.resize(400, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QString unit = "<a href=x>メニュー</a>本日";
        QString model = "head\n" + unit.repeated(300) + "\ntail";
        box.setText(model);
        box.setSelStart(2);
        QMimeData data;
        data.setText(unit.repeated(500));
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box.viewport(), &enter);
        QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box.viewport(), &drop);
        QCoreApplication::processEvents();
        model.insert(0, data.text());
        QCOMPARE(box.Text(), model);
        QCOMPARE(box.SelStart(), int(data.text().size()));
        for (QTextBlock row = box.document()->firstBlock(); row.isValid(); row = row.next())
            QVERIFY(row.length() <= 2049);
    }

    void keyPressMaySwallow()
    {
        RichTextBox box;
        QString seen;
        box.onKeyPress = [&](QChar c) {
            seen += c;
            return c == QLatin1Char('q');
        };
        QTest::keyClicks(&box, "aqb");
        QCOMPARE(seen, QString("aqb"));
        QCOMPARE(box.Text(), QString("ab"));
    }

    void lineEndsAndUndoKeys()
    {
        RichTextBox box;
        QTest::keyClick(&box, Qt::Key_A);
        QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(&box, Qt::Key_B);
        QCOMPARE(box.Text(), QString("a\nb"));
        QCOMPARE(box.document()->blockCount(), 2);
        // The control has no undo of its own.
        QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box.Text(), QString("a\nb"));
    }

    void loadAndSaveKeepEveryByte()
    {
        QTemporaryDir dir;
        const QString in = dir.path() + "/in.html";
        const QString out = dir.path() + "/out.html";
        // Pictographs, half-width katakana, NEC specials, an invalid trail byte, a lead byte
        // at the very end, and both kinds of line end.
        const QByteArray bytes("<html>\xF8\x9F\xF9\xFC\r\n\xB1\xB2\xB3\x87\x40\x87\x8D\r\n"
                               "\x81\x20\xFD\xFE\xFF\x80\xA0\r\nend\x81");
        writeAll(in, bytes);
        RichTextBox box;
        box.LoadFile(in);
        box.SaveFile(out, 1);
        QCOMPARE(readAll(out), bytes);
        // A lone CR ends a line too, and is written back as it was read.
        writeAll(in, "a\rb\nc");
        box.LoadFile(in);
        QCOMPARE(box.Text(), QString("a\nb\nc"));
        box.SaveFile(out, 1);
        QCOMPARE(readAll(out), QByteArray("a\rb\nc"));
    }

    void everyValidSequenceSurvivesLoadAndSave()
    {
        // Every sequence of the code page 932 table, the user-defined area and the single bytes
        // that Windows adds, one per line, through the control and back to disk.
        QFile table(QStringLiteral(ZEMLO_TEST_DATA "/CP932.TXT"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        QByteArray page, expected;
        auto pair = [](int lead, int trail) {
            QByteArray bytes;
            bytes.append(char(lead)).append(char(trail));
            return bytes;
        };
        auto add = [&](const QByteArray &sequence) {
            page += sequence + "\r\n";
            // Entered rather than read, a character with twins gets the preferred one.
            expected += Cp932::encode(Cp932::decode(sequence)).bytes + "\r\n";
        };
        int count = 0;
        while (!table.atEnd()) {
            const QByteArray line = table.readLine().trimmed();
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() < 2 || fields.at(1).trimmed().isEmpty())
                continue;
            const uint code = fields.at(0).toUInt(nullptr, 16);
            if (code == 0x0A || code == 0x0D)
                continue; // line ends are the file's own
            add(code > 0xFF ? pair(code >> 8, code & 0xFF) : QByteArray(1, char(code)));
            ++count;
        }
        QCOMPARE(count, 7913);
        for (int lead = 0xF0; lead <= 0xF9; ++lead)
            for (int trail = 0x40; trail <= 0xFC; ++trail)
                if (trail != 0x7F)
                    add(pair(lead, trail));
        for (char single : {'\x80', '\xA0', '\xFD', '\xFE', '\xFF'})
            add(QByteArray(1, single));
        QTemporaryDir dir;
        writeAll(dir.path() + "/all.html", page);
        RichTextBox box;
        box.LoadFile(dir.path() + "/all.html");
        box.SaveFile(dir.path() + "/back.html", 1);
        const QByteArray back = readAll(dir.path() + "/back.html");
        // 189 single and 7,724 double bytes of the table, the 1,880 user-defined codes, five
        // single bytes, each with its line end.
        QCOMPARE(page.size(), 2 * (7913 + 1880 + 5) + 189 + 2 * 7724 + 2 * 1880 + 5);
        // Read, every sequence comes back as it was, twins too.
        QCOMPARE(back.size(), page.size());
        QCOMPARE(back, page);
        // The same text entered gets the Windows form: only the twins differ from the page.
        RichTextBox typed;
        typed.setText(box.Text());
        typed.SaveFile(dir.path() + "/typed.html", 1);
        QCOMPARE(readAll(dir.path() + "/typed.html"), expected);
        QVERIFY(page != expected);
    }

    void editedCharactersGetTheWindowsFormAndTheirNeighboursKeepTheirs()
    {
        QTemporaryDir dir;
        const QString page = dir.path() + "/twins.html";
        // Entered, these are written 81 E0, 87 54, FA 5C and 81 CA.
        const QByteArray bytes = QByteArray::fromHex("87 90 FA 4A ED 40 EE F9");
        writeAll(page, bytes);
        RichTextBox box;
        box.LoadFile(page);
        box.SaveFile(page, 1);
        QCOMPARE(readAll(page), bytes);
        const QString text = box.Text();
        // Composing on the line changes no character, nor the bytes of any.
        box.setSelStart(1);
        QInputMethodEvent composing(QStringLiteral("\u304B"), {});
        QApplication::sendEvent(&box, &composing);
        QInputMethodEvent cancelled;
        QApplication::sendEvent(&box, &cancelled);
        QCOMPARE(box.Text(), text);
        QCOMPARE(box.fileBytes(), QByteArray::fromHex("87 90 FA 4A ED 40 EE F9"));
        // The second character typed again over itself, as an input method enters it.
        box.setSelStart(1);
        box.setSelLength(1);
        QInputMethodEvent typed;
        typed.setCommitString(text.mid(1, 1));
        QApplication::sendEvent(&box, &typed);
        QCOMPARE(box.Text(), text);
        QCOMPARE(box.fileBytes(), QByteArray::fromHex("87 90 87 54 ED 40 EE F9"));
        // Pasted over the third.
        box.setSelStart(2);
        box.setSelLength(1);
        box.setSelText(text.mid(2, 1));
        QCOMPARE(box.fileBytes(), QByteArray::fromHex("87 90 87 54 FA 5C EE F9"));
        // Typing between the first two and at the start moves the untouched ones along.
        box.setSelStart(1);
        QTest::keyClicks(&box, "x");
        box.setSelStart(0);
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(box.fileBytes(), QByteArray::fromHex("0D 0A 87 90 78 87 54 FA 5C EE F9"));
        // Deleting a neighbour takes nothing from the others.
        box.setSelStart(2);
        QTest::keyClick(&box, Qt::Key_Delete);
        QCOMPARE(box.fileBytes(), QByteArray::fromHex("0D 0A 87 90 87 54 FA 5C EE F9"));
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.fileBytes(), QByteArray::fromHex("0D 0A 87 54 FA 5C EE F9"));
        // A new text as a whole is entered text.
        box.setText(box.Text());
        QCOMPARE(box.fileBytes(), QByteArray::fromHex("0D 0A 87 54 FA 5C 81 CA"));
    }

    void pagesKeepTheirLineEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // The file after typing "x" at the end of the first line and a new line after it.
        QTest::addColumn<QByteArray>("edited");
        QTest::newRow("LF") << QByteArray("<p>\nb\n") << QByteArray("<p>x\n\nb\n");
        QTest::newRow("CR LF") << QByteArray("<p>\r\nb\r\n") << QByteArray("<p>x\r\n\r\nb\r\n");
        QTest::newRow("CR") << QByteArray("<p>\rb\r") << QByteArray("<p>x\r\rb\r");
        // A mixed page keeps each line's own end; a new line gets the page's most frequent.
        QTest::newRow("mixed, mostly CR LF") << QByteArray("<p>\nb\r\nc\r\nd\r")
                                             << QByteArray("<p>x\r\n\nb\r\nc\r\nd\r");
        QTest::newRow("mixed, mostly LF") << QByteArray("<p>\r\nb\nc\n")
                                          << QByteArray("<p>x\n\r\nb\nc\n");
        QTest::newRow("mixed, a tie") << QByteArray("<p>\r\nb\n")
                                      << QByteArray("<p>x\r\n\r\nb\n");
        QTest::newRow("no line end") << QByteArray("<p>") << QByteArray("<p>x\r\n");
    }

    void pagesKeepTheirLineEnds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, edited);
        QTemporaryDir dir;
        const QString page = dir.path() + "/page.html";
        writeAll(page, bytes);
        RichTextBox box;
        box.LoadFile(page);
        box.SaveFile(page, 1);
        QCOMPARE(readAll(page), bytes);
        box.setSelStart(3);
        QTest::keyClicks(&box, "x");
        QTest::keyClick(&box, Qt::Key_Return);
        box.SaveFile(page, 1);
        QCOMPARE(readAll(page), edited);
        // Loaded again, the page's lines still end as they did.
        box.LoadFile(page);
        QCOMPARE(box.fileBytes(), edited);
    }

    void keptBytesAreNeverFusedWithWhatFollows()
    {
        // "a" after a lone 82 would read back as "Ｂ" (82 61); an escape entered is no byte
        // the file had. Both are refused, the file left whole.
        QTemporaryDir dir;
        const QString page = dir.path() + "/lone.html";
        writeAll(page, "abc\x82");
        for (const QString &entered : {QString("a"), QString(QChar(0xF801))}) {
            RichTextBox box;
            box.LoadFile(page);
            box.setSelStart(4);
            box.setSelText(entered);
            QVERIFY_THROWS_EXCEPTION(ZError, box.SaveFile(page, 1));
            QCOMPARE(readAll(page), QByteArray("abc\x82"));
        }
    }

    void failuresLeaveContentAndFile()
    {
        QTemporaryDir dir;
        RichTextBox box;
        box.setText("kept");
        bool failed = false;
        try {
            box.LoadFile(dir.path() + "/missing.html");
        } catch (const ZError &e) {
            failed = e.number() == ZErr::FileNotFound;
        }
        QVERIFY(failed);
        QCOMPARE(box.Text(), QString("kept"));
        failed = false;
        try {
            box.SaveFile(dir.path() + "/no/such/folder.html", 1);
        } catch (const ZError &e) {
            failed = e.number() == ZErr::PathNotFound;
        }
        QVERIFY(failed);
        // Characters without a Shift-JIS form are never written as substitutes.
        const QString page = dir.path() + "/p.html";
        writeAll(page, "old");
        box.setText(QString("emoji ") + QChar(0xD83D) + QChar(0xDE00));
        QVERIFY_THROWS_EXCEPTION(ZError, box.SaveFile(page, 1));
        QCOMPARE(readAll(page), QByteArray("old"));
        box.SavePreviewFile(dir.path() + "/preview.htm");
        QCOMPARE(readAll(dir.path() + "/preview.htm"), QByteArray("emoji &#128512;"));
    }

    void previewFileIsWrittenWholeInPlace()
    {
        QTemporaryDir dir;
        const QString preview = dir.path() + "/preview.htm";
        RichTextBox box;
        // Long enough to be written in several pieces, with a pair of surrogates across the
        // first boundary and a line end across the second.
        const QString a(65535, QLatin1Char('a'));
        const QString b(65535 - 10, QLatin1Char('b'));
        box.setText(a + QChar(0xD83D) + QChar(0xDE00) + b + "\n" + QString::fromUtf16(u"\x3042"));
        box.SavePreviewFile(preview);
        QCOMPARE(readAll(preview), a.toLatin1() + "&#128512;" + b.toLatin1() + "\r\n\x82\xA0");
        // A shorter page after a longer one leaves nothing of the longer behind.
        box.setText(a + "\n" + b);
        box.SavePreviewFile(preview);
        QCOMPARE(readAll(preview), a.toLatin1() + "\r\n" + b.toLatin1());
        box.setText("<p>");
        box.SavePreviewFile(preview);
        QCOMPARE(readAll(preview), QByteArray("<p>"));
        box.setText(QString());
        box.SavePreviewFile(preview);
        QCOMPARE(readAll(preview), QByteArray());
    }
};

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"

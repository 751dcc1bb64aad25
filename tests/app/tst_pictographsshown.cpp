#include "ZemloTestMain.h"

#include "MainWindowFixture.h"
#include "app/MDI_Main.h"
#include "app/Settings.h"
#include "documents/CommandName.h"
#include "documents/Form_Editer.h"
#include "text/Pictographs.h"
#include "widgets/RichTextBox.h"
#include "widgets/WebBrowser.h"

#include <QFile>
#include <QPainter>
#include <QWebEngineView>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// How far what is drawn in box is from the pictograph's picture: each cropped to what differs
// from the background, brought to 6 x 6 and compared cell by cell (mean difference of a
// channel, 0 to 255). A pictograph drawn at another size is near; an empty box, a kanji or a
// broken image is far.
int distance(const QImage &shown, const QRect &box, const Pictograph &pictograph, QRgb background)
{
    auto drawn = [background](const QImage &image, const QRect &area) {
        QRect used;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb c = image.pixel(x, y);
                if (qAbs(qRed(c) - qRed(background)) + qAbs(qGreen(c) - qGreen(background)) +
                        qAbs(qBlue(c) - qBlue(background)) > 24)
                    used |= QRect(x, y, 1, 1);
            }
        }
        return used.isEmpty() ? QImage()
                              : image.copy(used).scaled(6, 6, Qt::IgnoreAspectRatio,
                                                        Qt::SmoothTransformation);
    };
    QImage picture(Pictographs::imagePath(QCoreApplication::applicationDirPath(), pictograph));
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(background);
    QPainter(&flat).drawImage(0, 0, picture);
    const QImage a = drawn(flat, flat.rect()), b = drawn(shown, box);
    if (a.isNull() || b.isNull() || !shown.rect().contains(box))
        return 255;
    int sum = 0;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (6 * 6 * 3);
}

// The two pictographs, one of each carrier, in all five forms: each form in a cell of its own, a
// row a carrier; the raw ones on the first line are for the source window, in a comment the
// preview does not show.
constexpr int Stride = 38;
QByteArray everyFormPage()
{
    const QList<QByteArray> forms[] = {
        {"\xF8\x9F", "&#63647;", "&#xF89F;", "&#xE63E;", "&#58942;"},
        {"\xF6\x60", "&#63072;", "&#xF660;", "&#xE488;", "&#58504;"}};
    QByteArray page =
        "<!--\xF8\x9F\xF6\x60\xF3\x40-->\r\n<html><body style=\"margin:0;background:#fff\">\r\n";
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 5; ++column) {
            page += "<div style=\"position:absolute;left:" + QByteArray::number(column * Stride) +
                    "px;top:" + QByteArray::number(row * Stride) +
                    "px;width:34px;height:34px;font-size:24px;line-height:32px\">" +
                    forms[row][column] + "</div>\r\n";
        }
    }
    return page;
}

} // namespace

class TestPictographsShown : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyFormOfBothCarriersIsDrawnInThePreviewAndRawOnesInTheSource()
    {
        const Pictograph *pictographs[] = {Pictographs::bySjis(0xF89F), Pictographs::bySjis(0xF660)};
        const QByteArray page = everyFormPage();
        MainWindowFixture f;
        MDI_Main *w = f.window;
        QFile file(f.path("emoji.html"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(page);
        file.close();
        QVERIFY(QTest::qWaitFor([&] { return w->WebBrowser1->view(); }, 20000));
        f.prompts.answerFile(f.path("emoji.html"));
        w->runCommand(Cmd::m_mopen);
        Form_Editer *doc = w->activeDocument();
        QVERIFY(doc);

        const QRgb white = qRgb(255, 255, 255);
        QList<int> distances;
        auto allDrawn = [&] {
            distances.clear();
            const QImage shown =
                w->WebBrowser1->view()->grab().toImage().convertToFormat(QImage::Format_RGB32);
            for (int n = 0; n < 10; ++n) {
                distances << distance(shown, QRect(n % 5 * Stride, n / 5 * Stride, 34, 34),
                                      *pictographs[n / 5], white);
            }
            return std::all_of(distances.cbegin(), distances.cend(), [](int d) { return d < 32; });
        };
        const bool drawn = QTest::qWaitFor(allDrawn, 20000);
        QVERIFY2(drawn, qPrintable(QDebug::toString(distances)));

        // The files keep their bytes: the pictographs are mapped only in what the preview is
        // served.
        QCOMPARE(readFile(f.path("emoji.html")), page);
        QCOMPARE(readFile(ProgramFiles::preview(f.dir.path())), page);

        // The source window shows the raw ones as pictographs.
        RichTextBox *text = doc->RichTextBox1;
        const QImage shown =
            text->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb base = text->palette().color(QPalette::Base).rgb();
        // au's F340-F493 too, which code page 932 decodes apart from au's own code points.
        for (const Pictograph *p : {pictographs[0], pictographs[1], Pictographs::bySjis(0xF340)}) {
            QVERIFY(p);
            QTextCursor c(text->document());
            c.setPosition(int(text->Text().indexOf(QChar(p->pua))));
            const QRect left = text->cursorRect(c);
            c.movePosition(QTextCursor::NextCharacter);
            const QRect box(left.left() + 1, left.top(), text->cursorRect(c).left() - left.left() - 1,
                            left.height());
            QVERIFY2(box.width() >= box.height() / 2, "the pictograph has room");
            QCOMPARE_LT(distance(shown, box, *p, base), 32);
        }
    }

    // The preview file is the page as Save writes it: the twins of its pictograph page in their
    // own bytes, each line end as the page has it.
    void thePreviewFileIsThePageAsSaved()
    {
        MainWindowFixture f;
        const QByteArray page = "<p>\xEE\xBD\xEE\x98\xF8\x9F</p>\n<p>a</p>\r\n<p>b</p>\r\n";
        Form_Editer *doc = f.openPage("twins.html", page);
        QVERIFY(doc);
        QCOMPARE(doc->RichTextBox1->fileBytes(), page);
        QCOMPARE(readFile(ProgramFiles::preview(f.dir.path())), page);
    }

    void everyFormOfBothCarriersExportsToStandardEmoji()
    {
        MainWindowFixture f;
        WebBrowser *browser = f.window->WebBrowser1;
        QVERIFY(QTest::qWaitFor([&] { return browser->view(); }, 20000));
        QVERIFY(f.openPage("emoji.html", everyFormPage()));
        const QString path = f.path("emoji-utf8.html");
        f.prompts.answerFile(path);
        f.window->runCommand(Cmd::m_mutf8);
        const QString copy = QString::fromUtf8(readFile(path));
        QVERIFY(std::none_of(copy.cbegin(), copy.cend(),
                             [](QChar c) { return c >= QChar(0xE000) && c <= QChar(0xF8FF); }));

        // The browser shows each cell as a standard emoji, and nothing else. Its text is asked
        // for once the copy is shown, one question at a time.
        const QString expected = Pictographs::bySjis(0xF89F)->emoji.repeated(5) +
                                 Pictographs::bySjis(0xF660)->emoji.repeated(5);
        browser->Navigate(path);
        auto shown = std::make_shared<QString>();
        auto asking = std::make_shared<bool>(false);
        const bool drawn = QTest::qWaitFor([&] {
            if (browser->LocationURL() == path && !std::exchange(*asking, true))
                browser->view()->page()->toPlainText([shown, asking](const QString &t) {
                    *shown = t.simplified().remove(u' ');
                    *asking = false;
                });
            return *shown == expected;
        }, 20000);
        QVERIFY2(drawn, qPrintable(browser->LocationURL() + " " + *shown));
    }
};

ZEMLO_TEST_MAIN(TestPictographsShown)
#include "tst_pictographsshown.moc"

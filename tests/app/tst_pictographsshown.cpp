#include "ZemloTestMain.h"

#include "MainWindowFixture.h"
#include "app/MDI_Main.h"
#include "app/Settings.h"
#include "documents/CommandName.h"
#include "documents/Form_Editer.h"
#include "platform/Pictographs.h"
#include "platform/RichTextBox.h"
#include "platform/WebBrowser.h"

#include <QFile>
#include <QPainter>
#include <QWebEngineView>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What is drawn inside box: cropped to the pixels that differ from the background.
QImage drawnIn(const QImage &shown, const QRect &box, QRgb background)
{
    QRect used;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb c = shown.pixel(x, y);
            if (qAbs(qRed(c) - qRed(background)) + qAbs(qGreen(c) - qGreen(background)) +
                    qAbs(qBlue(c) - qBlue(background)) > 24)
                used |= QRect(x, y, 1, 1);
        }
    }
    return used.isEmpty() ? QImage() : shown.copy(used);
}

// How far a drawing is from the pictograph's picture: both cropped, laid on the background,
// brought to 6 x 6 and compared cell by cell (mean difference of a channel, 0 to 255).
int distance(const QImage &drawn, const Pictograph &pictograph, QRgb background)
{
    if (drawn.isNull())
        return 255;
    QImage picture(Pictographs::imagePath(QCoreApplication::applicationDirPath(), pictograph));
    if (picture.isNull())
        return 255;
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(background);
    QPainter(&flat).drawImage(0, 0, picture);
    const QImage a = drawnIn(flat, flat.rect(), background)
                         .scaled(6, 6, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage b = drawn.scaled(6, 6, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int sum = 0;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (6 * 6 * 3);
}

QString distancesText(const QList<int> &distances)
{
    QStringList texts;
    for (int d : distances)
        texts << QString::number(d);
    return texts.join(QStringLiteral(", "));
}

constexpr int Stride = 38; // each form in a cell of its own, a row a carrier
const QList<QByteArray> docomoForms{"\xF8\x9F", "&#63647;", "&#xF89F;", "&#xE63E;", "&#58942;"};
const QList<QByteArray> auForms{"\xF6\x60", "&#63072;", "&#xF660;", "&#xE488;", "&#58504;"};

QByteArray pageOfAllForms()
{
    // The raw pair on the first line is for the source window; a comment is not shown.
    QByteArray page = "<!--\xF8\x9F\xF6\x60-->\r\n<html><body style=\"margin:0;background:#fff\">\r\n";
    for (int row = 0; row < 2; ++row) {
        const QList<QByteArray> &forms = row == 0 ? docomoForms : auForms;
        for (int column = 0; column < forms.size(); ++column) {
            page += "<div style=\"position:absolute;left:" + QByteArray::number(column * Stride) +
                    "px;top:" + QByteArray::number(row * Stride) +
                    "px;width:34px;height:34px;font-size:24px;line-height:32px;overflow:hidden\">" +
                    forms[column] + "</div>\r\n";
        }
    }
    return page + "</body></html>\r\n";
}

} // namespace

class TestPictographsShown : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyFormOfBothCarriersIsDrawnInThePreviewAndRawOnesInTheSource()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        w->resize(900, 700);
        const QByteArray bytes = pageOfAllForms();
        QFile file(f.path("emoji.html"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QVERIFY(w->WebBrowser1->view() || QTest::qWaitFor([&] { return w->WebBrowser1->view(); }, 20000));
        f.prompts.answerFile(f.path("emoji.html"));
        w->runCommand(Cmd::m_mopen);
        Form_Editer *doc = w->activeDocument();
        QVERIFY(doc);

        const Pictograph *fine = Pictographs::bySjis(0xF89F);
        const Pictograph *sun = Pictographs::bySjis(0xF660);
        QVERIFY(fine && sun);
        const QRgb white = qRgb(255, 255, 255);
        QList<int> distances;
        auto measure = [&] {
            distances.clear();
            const QImage shown = w->WebBrowser1->view()->grab().toImage().convertToFormat(
                QImage::Format_RGB32);
            for (int row = 0; row < 2; ++row) {
                for (int column = 0; column < 5; ++column) {
                    const QRect cell(column * Stride, row * Stride, 34, 34);
                    if (!shown.rect().contains(cell)) {
                        distances << 255;
                        continue;
                    }
                    distances << distance(drawnIn(shown, cell, white), row == 0 ? *fine : *sun,
                                          white);
                }
            }
            return std::all_of(distances.cbegin(), distances.cend(), [](int d) { return d < 32; });
        };
        QVERIFY2(QTest::qWaitFor(measure, 20000),
                 qPrintable(QStringLiteral("distances from the pictures: %1")
                                .arg(distancesText(distances))));
        qInfo() << "preview, distance of each form from its picture:" << distances;

        // The files keep their bytes: the mapping is only in what the preview is served.
        QCOMPARE(readFile(f.path("emoji.html")), bytes);
        QCOMPARE(readFile(ProgramFiles::preview(f.dir.path())), bytes);

        // The source window shows the raw ones as pictographs.
        RichTextBox *text = doc->RichTextBox1;
        const QString source = text->Text();
        for (const Pictograph *p : {fine, sun}) {
            const int at = int(source.indexOf(QChar(p->pua)));
            QVERIFY(at >= 0);
            QTextCursor c(text->document());
            c.setPosition(at);
            const QRect left = text->cursorRect(c);
            c.setPosition(at + 1);
            const QRect cell(left.left() + 1, left.top(), text->cursorRect(c).left() - left.left() - 1,
                             left.height());
            QVERIFY2(cell.width() >= cell.height() / 2, "the pictograph has room");
            const QImage shown =
                text->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QRgb base = text->palette().color(QPalette::Base).rgb();
            const int d = distance(drawnIn(shown, cell, base), *p, base);
            QVERIFY2(d < 32, qPrintable(QString("source window, %1: %2").arg(p->sjis).arg(d)));
        }
    }

};

ZEMLO_TEST_MAIN(TestPictographsShown)
#include "tst_pictographsshown.moc"

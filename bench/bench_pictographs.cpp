// Prints what drawing pictographs costs: the preview's mapping of a page (every form of both
// carriers) and the source window's repaint of a screen full of them. Figures only.
#include "text/Cp932.h"
#include "text/PictographMarkup.h"
#include "text/Pictographs.h"
#include "widgets/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

double medianMs(int runs, const std::function<void()> &work)
{
    QList<double> times;
    for (int n = 0; n < runs; ++n) {
        QElapsedTimer t;
        t.start();
        work();
        times << t.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// About size bytes of markup; every pictographEvery-th line holds a pictograph in each form.
QByteArray page(qsizetype size, int pictographEvery)
{
    const QList<QByteArray> forms{"\xF8\x9F", "&#63647;", "&#xF89F;", "&#xE63E;", "&#58942;",
                                  "\xF6\x60", "&#63072;", "&#xF660;", "&#xE488;", "&#58504;"};
    QByteArray bytes = "<html><body>\r\n";
    int line = 0;
    while (bytes.size() < size) {
        bytes += "<p><a href=\"page.html\">\x93\xfa\x96\x7b\x8c\xea text</a> ";
        if (pictographEvery && ++line % pictographEvery == 0) {
            for (const QByteArray &form : forms)
                bytes += form;
        }
        bytes += "</p>\r\n";
    }
    return bytes;
}

QByteArray gif(const Pictograph &) { return QByteArray(600, 'G'); }

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Pictographs::all(); // the table is read once, not timed
    struct Case
    {
        const char *what;
        qsizetype size;
        int every;
    };
    const Case cases[] = {{"map page, no pictographs", 1 << 20, 0},
                          {"map page, 10 forms every 10th line", 1 << 20, 10},
                          {"map page, 10 forms every line", 1 << 20, 1},
                          {"map page, no pictographs", 10 << 20, 0},
                          {"map page, 10 forms every 10th line", 10 << 20, 10}};
    for (const Case &c : cases) {
        const QByteArray bytes = page(c.size, c.every);
        qsizetype served = 0;
        const double ms = medianMs(5, [&] {
            served = PictographMarkup::mapForPreview(bytes, gif).size();
        });
        std::printf("%-44s %5lld KB  median %9.3f ms   served %lld KB\n", c.what,
                    qlonglong(bytes.size() >> 10), ms, qlonglong(served >> 10));
    }

    // A screen of source text, one raw pictograph in five characters, beside the same screen
    // with a kanji in their place.
    RichTextBox box;
    box.resize(800, 600);
    box.show();
    for (const char16_t c : {u'\u65E5', u'\uE63E'}) {
        QString text;
        for (int line = 0; line < 60; ++line) {
            for (int n = 0; n < 40; ++n)
                text += QStringLiteral("<b>") + QChar(c == 0xE63E && n % 2 ? 0xE488 : c) + u' ';
            text += u'\n';
        }
        box.setText(text);
        box.viewport()->grab();
        const double ms = medianMs(5, [&] { box.viewport()->grab(); });
        std::printf("%-44s %-8s median %9.3f ms\n",
                    c == 0xE63E ? "repaint source window, 1200 pictographs"
                                : "repaint source window, 1200 kanji instead",
                    "", ms);
    }
    return 0;
}

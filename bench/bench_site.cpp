// Prints how long the site commands take on a generated site of 2,000 pages (10 MB) in 40
// folders, with pictures, links (some broken, some to anchors) and pictographs: listing the
// site, the link check, a search, and the UTF-8 export of the whole site.
// Figures only: nothing here asserts.
#include "text/Cp932.h"
#include "text/SiteExport.h"
#include "text/SiteLinks.h"
#include "text/SiteWalk.h"
#include "tools/SiteSearch.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int Pages = 2000;
constexpr int Folders = 40;
constexpr qsizetype PageBytes = 5400; // 10 MB in all

QString pagePath(int i)
{
    return QStringLiteral("d%1/p%2.html").arg(i % Folders).arg(i);
}

QByteArray makePage(int i)
{
    QString text = QStringLiteral("<html><head><meta charset=\"Shift_JIS\"><title>ページ%1</title>"
                                  "</head><body>\n<a name=\"top\"></a>\n")
                       .arg(i);
    int n = 0;
    while (Cp932::encode(text).bytes.size() + text.count(u'\n') < PageBytes - 100) {
        const int other = (i * 7 + n) % (Pages + 3); // now and then a page that is not there
        text += QStringLiteral("<a href=\"../%1#top\" accesskey=\"%2\">次へ</a><br>\n")
                    .arg(other < Pages ? pagePath(other) : QStringLiteral("gone.html"))
                    .arg(n % 10);
        text += QStringLiteral("<img src=\"../img/logo.gif\"><font color=\"#FF0000\">"
                               "ｾｰﾙ開催中！</font>\uE63E&#63861;<hr>\n");
        text +=
            QStringLiteral("<p>本日のお知らせです。<a href=\"http://example.jp/\">外部</a></p>\n");
        ++n;
    }
    text += QStringLiteral("</body></html>\n");
    return Cp932::encode(text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"))).bytes;
}

template <typename F> void figure(const char *what, F &&run, int runs)
{
    QList<double> ms;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        run();
        ms << t.nsecsElapsed() / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s %-7s median %9.3f ms   worst %9.3f ms\n", what, "2000p",
                ms.at(ms.size() / 2), ms.last());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/site");
    qint64 total = 0;
    for (int i = 0; i < Pages; ++i) {
        QDir().mkpath(root + QStringLiteral("/d%1").arg(i % Folders));
        QFile f(root + u'/' + pagePath(i));
        f.open(QIODevice::WriteOnly);
        total += f.write(makePage(i));
    }
    QDir().mkpath(root + QStringLiteral("/img"));
    QFile logo(root + QStringLiteral("/img/logo.gif"));
    logo.open(QIODevice::WriteOnly);
    logo.write(QByteArray(400, 'g'));
    logo.close();
    std::printf("site: %d pages, %.1f MB\n", Pages, total / 1048576.0);

    // The pictures pictographs need, as the program folder holds them.
    const QString program = QStringLiteral(ZEMLO_SOURCE_DATA);
    const Site::PageText text = [&root](const QString &page,
                                        QString *error) -> std::optional<QString> {
        const std::optional<QByteArray> bytes = Site::read(root, page, error);
        return bytes ? std::optional(Cp932::decodePage(*bytes).text) : std::nullopt;
    };
    const int runs = 5;
    figure(
        "site: list the folder", [&] { Site::walk(root); }, runs);
    figure(
        "site: link check (list, read, check)",
        [&] {
            const Site::Listing site = Site::walk(root);
            SiteLinks::check(site, text);
        },
        runs);
    figure(
        "site: find (list, read, search)",
        [&] {
            const Site::Listing site = Site::walk(root);
            SearchSite(site, text, QStringLiteral("お知らせ"), {false, true});
        },
        runs);
    int n = 0;
    figure(
        "site: UTF-8 export (list, convert, write)",
        [&] {
            const Site::Listing site = Site::walk(root);
            const SiteExport::Result r =
                SiteExport::write(site, dir.path() + QStringLiteral("/copy%1").arg(n++), program);
            if (r.failure)
                std::printf("export failed: %s\n", qPrintable(*r.failure));
        },
        runs);
    return 0;
}

#include "site/SiteCommands.h"

#include "documents/DocumentHost.h"
#include "platform/Prompts.h"
#include "site/SitePane.h"
#include "text/SiteExport.h"
#include "text/SiteLinks.h"
#include "tools/SiteSearch.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>

namespace {

void OpenSiteCommand(DocumentHost &host, SitePane &pane)
{
    if (pane.busy()) {
        host.showStatus(
            QStringLiteral("サイトの処理中です。終わるか、キャンセルしてから選んでください。"));
        return;
    }
    FileDialogRequest request;
    request.kind = FileDialogKind::Folder;
    request.title = QStringLiteral("サイトを開く");
    request.initialFolder = pane.listing().root;
    if (const std::optional<QString> folder = host.prompts()->file(request))
        pane.openSite(*folder);
}

// A site command needs a site and the pane free; says so when it has neither.
bool Ready(DocumentHost &host, SitePane &pane, const QString &title)
{
    if (pane.busy()) {
        host.showStatus(
            QStringLiteral("サイトの処理中です。終わるか、キャンセルしてから選んでください。"));
        return false;
    }
    if (!pane.hasSite()) {
        host.prompts()->message(QStringLiteral("サイトが開かれていません。\r\n\r\nﾌｧｲﾙ → "
                                               "サイトを開く でサイトのフォルダを選んでください。"),
                                Prompt::Buttons::Ok, Prompt::Icon::Information, title);
        return false;
    }
    return true;
}

// Walks the site again (it may have changed since it was opened) and checks every page.
void LinkCheckCommand(DocumentHost &host, SitePane &pane)
{
    if (!Ready(host, pane, QStringLiteral("サイトのリンクチェック")))
        return;
    struct Outcome
    {
        Site::Listing listing;
        QList<SiteLinks::Finding> findings;
    };
    auto outcome = std::make_shared<Outcome>();
    const QString root = pane.listing().root;
    pane.run(
        QStringLiteral("リンクを確認しています…"),
        [root, outcome, text = pane.pageTexts()](Site::Progress &progress) {
            outcome->listing = Site::walk(root, &progress);
            progress.done = 0;
            if (!outcome->listing.cancelled)
                outcome->findings = SiteLinks::check(outcome->listing, text, &progress);
        },
        [&pane, outcome](bool cancelled) {
            if (cancelled)
                return;
            pane.setListing(std::move(outcome->listing));
            QList<SitePane::Result> problems;
            QList<SitePane::Result> external;
            for (const SiteLinks::Finding &f : outcome->findings) {
                const bool outward = f.problem == SiteLinks::Problem::External;
                (outward ? external : problems)
                    << SitePane::Result{f.page, f.line, f.line > 0 ? f.position : -1,
                                        f.target.size(), SiteLinks::describe(f)};
            }
            pane.showResults({{QStringLiteral("問題のあるリンク"), problems},
                              {QStringLiteral("外部のアドレス（確認していません）"), external}},
                             problems.isEmpty()
                                 ? QStringLiteral("リンクチェック: 問題は見つかりませんでした。")
                                 : QStringLiteral("リンクチェック: %1 件の問題があります。")
                                       .arg(problems.size()));
        });
}

// Shows the find row; the search itself starts from there.
void FindInSiteCommand(DocumentHost &host, SitePane &pane)
{
    if (!Ready(host, pane, QStringLiteral("サイト内を検索")))
        return;
    pane.show();
    pane.raise();
    pane.findEdit->setFocus();
    pane.findEdit->selectAll();
}

void SearchSite(DocumentHost &host, SitePane &pane)
{
    const QString pattern = pane.findEdit->text();
    if (pattern.isEmpty() || !Ready(host, pane, QStringLiteral("サイト内を検索")))
        return;
    struct Outcome
    {
        QList<SiteMatch> matches;
        QList<UnreadablePage> unreadable;
    };
    auto outcome = std::make_shared<Outcome>();
    const SearchOptions options{pane.matchCase->isChecked(), pane.ignoreWidth->isChecked()};
    pane.run(
        QStringLiteral("検索しています…"),
        [site = pane.listing(), text = pane.pageTexts(), pattern, options,
         outcome](Site::Progress &progress) {
            outcome->matches =
                SearchSite(site, text, pattern, options, &progress, &outcome->unreadable);
        },
        [&pane, outcome, pattern](bool cancelled) {
            if (cancelled)
                return;
            QList<SitePane::Result> found;
            QSet<QString> pages;
            for (const SiteMatch &m : outcome->matches) {
                found << SitePane::Result{m.page, m.line, m.start, m.length, m.lineText};
                pages << m.page;
            }
            QList<SitePane::Result> unreadable;
            for (const auto &[page, reason] : outcome->unreadable)
                unreadable << SitePane::Result{page, 0, -1, 0, reason};
            QList<std::pair<QString, QList<SitePane::Result>>> groups{
                {QStringLiteral("「%1」").arg(pattern), found}};
            if (!unreadable.isEmpty())
                groups.append({QStringLiteral("読めないページ"), unreadable});
            pane.showResults(groups, found.isEmpty()
                                         ? QStringLiteral("見つかりません")
                                         : QStringLiteral("%1 ページに %2 件見つかりました。")
                                               .arg(pages.size())
                                               .arg(found.size()));
        });
}

QString ExportReport(const QString &target, const SiteExport::Report &r)
{
    QString text = QStringLiteral("サイトを UTF-8 で書き出しました。\r\n") + target +
                   QStringLiteral("\r\n\r\n");
    text += QStringLiteral("UTF-8 にしたページ: %1\r\n").arg(r.pages);
    text += QStringLiteral("そのままコピーしたファイル: %1\r\n").arg(r.copied);
    text += Utf8Export::pictographCounts(r.emoji, r.images, r.pictures.size(), r.names);
    text += QStringLiteral("U+FFFD にした不正なバイトと外字: %1\r\n").arg(r.invalidBytes);
    text += QStringLiteral("文字コードの宣言を UTF-8 にしたページ: %1").arg(r.charsets);
    if (!r.skipped.isEmpty())
        text += QStringLiteral("\r\n\r\nファイルではないためコピーしなかったもの: ") +
                r.skipped.join(QStringLiteral("、"));
    return text;
}

void ExportSiteCommand(DocumentHost &host, SitePane &pane)
{
    const QString title = QStringLiteral("サイトを UTF-8 で書き出し");
    if (!Ready(host, pane, title))
        return;
    FileDialogRequest request;
    request.kind = FileDialogKind::Folder;
    request.title = title;
    request.initialFolder = QFileInfo(pane.listing().root).absolutePath();
    const std::optional<QString> target = host.prompts()->file(request);
    if (!target)
        return;
    auto result = std::make_shared<SiteExport::Result>();
    pane.run(
        QStringLiteral("書き出しています…"),
        [root = pane.listing().root, target = *target, folder = host.programFolder(),
         result](Site::Progress &progress) {
            // Walked again: the copy is of the site as it is now.
            const Site::Listing site = Site::walk(root, &progress);
            progress.done = 0;
            if (site.cancelled) {
                result->cancelled = true;
                return;
            }
            *result = SiteExport::write(site, target, folder, &progress);
        },
        // What the export itself says counts: a cancel pressed as it was ending came too late,
        // and the copy is there.
        [&host, &pane, result, target = *target, title](bool) {
            if (result->cancelled) {
                pane.statusLabel->setText(
                    QStringLiteral("書き出しをキャンセルしました。何も書き出していません。"));
                return;
            }
            if (result->failure) {
                pane.statusLabel->setText(QString());
                host.prompts()->message(*result->failure +
                                            QStringLiteral("\r\n\r\n何も書き出していません。"),
                                        Prompt::Buttons::Ok, Prompt::Icon::Exclamation, title);
                return;
            }
            const SiteExport::Report &r = result->report;
            QList<SitePane::Result> careful;
            QStringList lines;
            for (const auto &[page, what] : r.careful) {
                careful << SitePane::Result{page, 0, -1, 0, what};
                lines << page + QStringLiteral(": ") + what;
            }
            pane.showResults({{QStringLiteral("注意が必要だったページ"), careful}},
                             QStringLiteral("UTF-8 で書き出しました: ") + target);
            MessageRequest report{ExportReport(target, r), Prompt::Buttons::Ok,
                                  Prompt::Icon::Information, QStringLiteral("情報"), std::nullopt};
            if (!r.careful.isEmpty()) {
                report.list = lines;
                report.text += QStringLiteral("\r\n\r\n注意が必要だったページ:");
            }
            host.prompts()->message(report);
        });
}

} // namespace

void InstallSiteCommands(DocumentHost &host, QMainWindow &window)
{
    auto *pane = new SitePane(host, &window);
    window.addDockWidget(Qt::RightDockWidgetArea, pane);
    pane->hide();
    host.setHandler(Cmd::m_msite, [&host, pane] { OpenSiteCommand(host, *pane); });
    host.setHandler(Cmd::m_mslnk, [&host, pane] { LinkCheckCommand(host, *pane); });
    host.setHandler(Cmd::m_msfnd, [&host, pane] { FindInSiteCommand(host, *pane); });
    host.setHandler(Cmd::m_msutf, [&host, pane] { ExportSiteCommand(host, *pane); });
    pane->findRequested = [&host, pane] { SearchSite(host, *pane); };
}

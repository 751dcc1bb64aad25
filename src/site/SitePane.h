#pragma once

#include "text/SiteWalk.h"

#include <QDockWidget>
#include <QPointer>
#include <functional>
#include <memory>

class DocumentHost;
class QCheckBox;
class QLineEdit;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

// The site pane beside the documents: the site's pages and pictures as a tree, from which
// Enter or a double-click opens a page as the open command does. Work on the whole site runs
// on a thread of its own while the pane shows its progress and offers to cancel it.
class SitePane : public QDockWidget
{
    Q_OBJECT
public:
    SitePane(DocumentHost &host, QWidget *parent);
    ~SitePane() override;

    // Lists the folder in the tree and remembers it as the last site.
    void openSite(const QString &folder);
    const Site::Listing &listing() const { return m_listing; }
    bool hasSite() const { return !m_listing.root.isEmpty(); }
    bool busy() const { return m_thread != nullptr; }

    // Runs work on its own thread; then runs on the window's thread once it is over, with
    // whether it was cancelled. One work at a time: false when another is running.
    bool run(const QString &what, std::function<void(Site::Progress &)> work,
             std::function<void(bool cancelled)> then);
    void cancel();

    // Opens a page of the site (relative path) as the open command does, or brings its window
    // to the front when it is open; a position selects length characters there.
    void openPage(const QString &page, qsizetype position = -1, qsizetype length = 0);

    // A page's text as a site-wide work reads it: from its window while it is open (taken now,
    // on the window's thread), else decoded from its file. Safe to call from the work's thread.
    Site::PageText pageTexts() const;
    // The listing after a work has walked the site again.
    void setListing(Site::Listing listing);

    // A finding or match of a site-wide work, which Enter opens.
    struct Result
    {
        QString page;
        int line = 0;
        qsizetype position = -1;
        qsizetype length = 0;
        QString text;
    };
    // Shows groups of results (a caption and its results) under the tree, and a summary.
    void showResults(const QList<std::pair<QString, QList<Result>>> &groups,
                     const QString &summary);

    // The last site, kept in a file of its own in the program folder.
    static QString lastSiteFile(const QString &programFolder);

    // The find row: what to look for in every page, with the find bar's options. Enter or
    // the button runs findRequested.
    QLineEdit *findEdit = nullptr;
    QCheckBox *matchCase = nullptr;
    QCheckBox *ignoreWidth = nullptr;
    QPushButton *findButton = nullptr;
    std::function<void()> findRequested;

    QTreeWidget *tree = nullptr;
    QTreeWidget *results = nullptr;
    QProgressBar *progressBar = nullptr;
    QPushButton *cancelButton = nullptr;
    QLabel *statusLabel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillTree();
    void openItem(QTreeWidgetItem *item);
    void finishWork();

    DocumentHost &m_host;
    Site::Listing m_listing;
    QThread *m_thread = nullptr;
    std::shared_ptr<Site::Progress> m_progress;
    std::function<void(bool)> m_then;
    QTimer *m_poll = nullptr;
};

// Opens the last site in the pane at the start, when its folder is still there.
void OfferLastSite(DocumentHost &host);

#include "site/SitePane.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "platform/StepRunner.h"
#include "text/Cp932.h"
#include "widgets/RichTextBox.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int PathRole = Qt::UserRole;
constexpr int IsFileRole = Qt::UserRole + 1;
constexpr int PositionRole = Qt::UserRole + 2;
constexpr int LengthRole = Qt::UserRole + 3;
} // namespace

SitePane::SitePane(DocumentHost &host, QWidget *parent)
    : QDockWidget(QStringLiteral("サイト"), parent), m_host(host)
{
    setObjectName("SitePane");
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    auto *body = new QWidget(this);
    auto *column = new QVBoxLayout(body);
    column->setContentsMargins(2, 2, 2, 2);
    auto *findRow = new QHBoxLayout;
    findEdit = new QLineEdit(body);
    findEdit->setObjectName("SiteFind");
    findEdit->setPlaceholderText(QStringLiteral("サイト内を検索"));
    findButton = new QPushButton(QStringLiteral("検索"), body);
    findButton->setObjectName("SiteFindButton");
    findRow->addWidget(findEdit, 1);
    findRow->addWidget(findButton);
    column->addLayout(findRow);
    matchCase = new QCheckBox(QStringLiteral("大文字と小文字を区別"), body);
    ignoreWidth = new QCheckBox(QStringLiteral("全角と半角を区別しない"), body);
    column->addWidget(matchCase);
    column->addWidget(ignoreWidth);
    const auto find = [this] {
        if (findRequested)
            findRequested();
    };
    connect(findEdit, &QLineEdit::returnPressed, this, find);
    connect(findButton, &QPushButton::clicked, this, find);
    auto *split = new QSplitter(Qt::Vertical, body);
    tree = new QTreeWidget(split);
    tree->setObjectName("SiteTree");
    tree->setHeaderHidden(true);
    results = new QTreeWidget(split);
    results->setObjectName("SiteResults");
    results->setHeaderLabels(
        {QStringLiteral("ページ"), QStringLiteral("行"), QStringLiteral("内容")});
    results->setRootIsDecorated(true);
    results->hide();
    for (QTreeWidget *view : {tree, results}) {
        view->installEventFilter(this);
        connect(view, &QTreeWidget::itemActivated, this,
                [this](QTreeWidgetItem *item) { openItem(item); });
    }
    column->addWidget(split, 1);
    statusLabel = new QLabel(body);
    statusLabel->setObjectName("SiteStatus");
    statusLabel->setWordWrap(true);
    column->addWidget(statusLabel);
    auto *work = new QHBoxLayout;
    progressBar = new QProgressBar(body);
    progressBar->setObjectName("SiteProgress");
    cancelButton = new QPushButton(QStringLiteral("キャンセル"), body);
    cancelButton->setObjectName("SiteCancel");
    connect(cancelButton, &QPushButton::clicked, this, &SitePane::cancel);
    work->addWidget(progressBar, 1);
    work->addWidget(cancelButton);
    column->addLayout(work);
    progressBar->hide();
    cancelButton->hide();
    setWidget(body);
    m_poll = new QTimer(this);
    m_poll->setInterval(100);
    connect(m_poll, &QTimer::timeout, this, [this] {
        if (!m_progress)
            return;
        // Until the work knows how much there is, the bar only shows that it goes on.
        const int total = m_progress->total.load();
        progressBar->setRange(0, total);
        progressBar->setValue(total > 0 ? qMin(m_progress->done.load(), total) : 0);
    });
}

SitePane::~SitePane()
{
    if (m_thread) {
        m_progress->cancelled = true;
        m_thread->wait();
        delete m_thread;
    }
}

QString SitePane::lastSiteFile(const QString &programFolder)
{
    return programFolder + QStringLiteral("/zemlo.site");
}

void SitePane::openSite(const QString &folder)
{
    if (busy())
        return;
    const QString root = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    show();
    raise();
    auto listing = std::make_shared<Site::Listing>();
    run(
        QStringLiteral("サイトを読んでいます…"),
        [root, listing](Site::Progress &progress) { *listing = Site::walk(root, &progress); },
        [this, listing](bool cancelled) {
            if (cancelled)
                return;
            m_listing = std::move(*listing);
            fillTree();
            // Remembered whole or not at all; a failure costs only the offer at the next start.
            QSaveFile file(lastSiteFile(m_host.programFolder()));
            if (file.open(QIODevice::WriteOnly)) {
                file.write(m_listing.root.toUtf8() + '\n');
                file.commit();
            }
        });
}

void SitePane::fillTree()
{
    tree->clear();
    setWindowTitle(QStringLiteral("サイト - ") + QFileInfo(m_listing.root).fileName());
    auto *top = new QTreeWidgetItem(tree, {QFileInfo(m_listing.root).fileName()});
    top->setToolTip(0, m_listing.root);
    QHash<QString, QTreeWidgetItem *> folders;
    folders.insert(QString(), top);
    for (const QString &folder : m_listing.folders) {
        const qsizetype slash = folder.lastIndexOf(u'/');
        QTreeWidgetItem *parent = folders.value(slash < 0 ? QString() : folder.left(slash), top);
        auto *item = new QTreeWidgetItem(parent, {folder.mid(slash + 1)});
        item->setData(0, PathRole, folder);
        folders.insert(folder, item);
    }
    for (const Site::File &file : m_listing.files) {
        if (file.kind == Site::FileKind::Other)
            continue;
        const qsizetype slash = file.path.lastIndexOf(u'/');
        QTreeWidgetItem *parent = folders.value(slash < 0 ? QString() : file.path.left(slash), top);
        auto *item = new QTreeWidgetItem(parent, {file.path.mid(slash + 1)});
        item->setData(0, PathRole, file.path);
        item->setData(0, IsFileRole, file.kind == Site::FileKind::Page);
    }
    top->setExpanded(true);
    int pages = 0;
    int images = 0;
    for (const Site::File &file : m_listing.files) {
        pages += file.kind == Site::FileKind::Page;
        images += file.kind == Site::FileKind::Image;
    }
    QString text = QStringLiteral("ページ %1、画像 %2、その他 %3")
                       .arg(pages)
                       .arg(images)
                       .arg(m_listing.files.size() - pages - images);
    if (!m_listing.unreadable.isEmpty())
        text +=
            QStringLiteral("\n読めないもの: ") + m_listing.unreadable.join(QStringLiteral("、"));
    statusLabel->setText(text);
}

bool SitePane::eventFilter(QObject *watched, QEvent *event)
{
    // Enter opens as a double-click does, also on platforms whose views do not activate on it.
    if ((watched == tree || watched == results) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (QTreeWidgetItem *item = static_cast<QTreeWidget *>(watched)->currentItem())
                openItem(item);
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void SitePane::openItem(QTreeWidgetItem *item)
{
    if (item && item->data(0, IsFileRole).toBool())
        openPage(item->data(0, PathRole).toString(),
                 item->data(0, PositionRole).isValid() ? item->data(0, PositionRole).toLongLong()
                                                       : -1,
                 item->data(0, LengthRole).toLongLong());
}

void SitePane::openPage(const QString &page, qsizetype position, qsizetype length)
{
    const QString path = m_listing.root + u'/' + page;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    Form_Editer *doc = nullptr;
    for (Form_Editer *open : m_host.documents())
        if (!canonical.isEmpty() && QFileInfo(open->HtmlName()).canonicalFilePath() == canonical)
            doc = open;
    if (doc) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget()))
            if (QMdiArea *area = sub->mdiArea())
                area->setActiveSubWindow(sub);
    } else {
        StepRunner().run([&] { doc = OpenDocument(m_host, path); });
        m_host.restorePointer();
    }
    if (!doc)
        return;
    RichTextBox *box = doc->RichTextBox1;
    if (position >= 0) {
        const int size = int(box->Text().size());
        box->setSelStart(int(qMin<qsizetype>(position, size)));
        box->setSelLength(int(qMin<qsizetype>(length, size - box->SelStart())));
        box->ensureCursorVisible();
    }
    box->setFocus();
}

Site::PageText SitePane::pageTexts() const
{
    QHash<QString, QString> open;
    const QDir root(m_listing.root);
    for (Form_Editer *doc : m_host.documents()) {
        const QString canonical = QFileInfo(doc->HtmlName()).canonicalFilePath();
        if (canonical.isEmpty())
            continue;
        const QString page = root.relativeFilePath(canonical);
        if (!page.startsWith(QStringLiteral("../")) && !open.contains(page))
            open.insert(page, doc->RichTextBox1->Text());
    }
    return [root = m_listing.root, open](const QString &page,
                                         QString *error) -> std::optional<QString> {
        if (const auto it = open.constFind(page); it != open.cend())
            return *it;
        const std::optional<QByteArray> bytes = Site::read(root, page, error);
        if (!bytes)
            return std::nullopt;
        return Cp932::decodePage(*bytes).text;
    };
}

void SitePane::setListing(Site::Listing listing)
{
    m_listing = std::move(listing);
    fillTree();
}

void SitePane::showResults(const QList<std::pair<QString, QList<Result>>> &groups,
                           const QString &summary)
{
    results->clear();
    for (const auto &[caption, list] : groups) {
        auto *group = new QTreeWidgetItem(
            results, {QStringLiteral("%1（%2）").arg(caption).arg(list.size())});
        group->setFirstColumnSpanned(true);
        for (const Result &r : list) {
            auto *item = new QTreeWidgetItem(
                group, {r.page, r.line > 0 ? QString::number(r.line) : QString(), r.text});
            item->setToolTip(2, r.text);
            item->setData(0, PathRole, r.page);
            item->setData(0, IsFileRole, true);
            if (r.position >= 0)
                item->setData(0, PositionRole, qlonglong(r.position));
            item->setData(0, LengthRole, qlonglong(r.length));
        }
        group->setExpanded(true);
    }
    results->show();
    results->resizeColumnToContents(1);
    if (QTreeWidgetItem *first = results->topLevelItem(0))
        results->setCurrentItem(first->childCount() ? first->child(0) : first);
    // The first finding is one Enter away.
    results->setFocus();
    statusLabel->setText(summary);
}

bool SitePane::run(const QString &what, std::function<void(Site::Progress &)> work,
                   std::function<void(bool cancelled)> then)
{
    if (busy())
        return false;
    m_progress = std::make_shared<Site::Progress>();
    m_then = std::move(then);
    // The pane may have been closed: the work and what it finds show in it.
    show();
    raise();
    statusLabel->setText(what);
    progressBar->setRange(0, 0);
    progressBar->show();
    cancelButton->show();
    cancelButton->setEnabled(true);
    m_thread =
        QThread::create([progress = m_progress, work = std::move(work)] { work(*progress); });
    connect(m_thread, &QThread::finished, this, &SitePane::finishWork);
    m_thread->start();
    m_poll->start();
    return true;
}

void SitePane::cancel()
{
    if (m_progress) {
        m_progress->cancelled = true;
        cancelButton->setEnabled(false);
    }
}

void SitePane::finishWork()
{
    m_poll->stop();
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    const bool cancelled = m_progress->cancelled;
    progressBar->hide();
    cancelButton->hide();
    if (cancelled)
        statusLabel->setText(QStringLiteral("キャンセルしました。"));
    if (auto then = std::exchange(m_then, nullptr))
        then(cancelled);
}

void OfferLastSite(DocumentHost &host)
{
    auto *pane = host.dialogParent()->findChild<SitePane *>();
    if (!pane)
        return;
    QFile file(SitePane::lastSiteFile(host.programFolder()));
    if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly))
        return;
    const QString folder = QString::fromUtf8(file.read(4096)).trimmed();
    if (QFileInfo(folder).isAbsolute() && QFileInfo(folder).isDir())
        pane->openSite(folder);
}

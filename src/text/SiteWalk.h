#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>

// A site: a folder of pages, pictures and other files, looked at as a whole. Nothing here
// writes to the site.
namespace Site {

// Shared between the work on another thread and the window that shows it: the work counts,
// the window reads and may ask it to stop.
struct Progress
{
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> cancelled{false};
    bool stop() const { return cancelled.load(std::memory_order_relaxed); }
    void step() { done.fetch_add(1, std::memory_order_relaxed); }
};

enum class FileKind : quint8
{
    Page,
    Image,
    Other
};
// By the name's extension, in any case.
FileKind kindOf(const QString &name);

struct File
{
    QString path; // relative to the site's folder, '/' between folders
    FileKind kind = FileKind::Other;
};

struct Listing
{
    QString root;        // the site's folder, absolute, without a trailing '/'
    QList<File> files;   // sorted by path
    QStringList folders; // relative, every folder below the root
    // Folders that could not be listed and entries that are no regular file (a FIFO, a
    // device): named, never read.
    QStringList unreadable;
    bool cancelled = false;
};

// A page's text (from its window when it is open, else from its file), or nothing with the
// reason in error.
using PageText = std::function<std::optional<QString>(const QString &page, QString *error)>;

// Every file below root; links to folders are not followed, so the walk stays in the site.
Listing walk(const QString &root, Progress *progress = nullptr);

// A file of the site as bytes; nothing, with the reason in error, when it cannot be read.
// Only regular files are opened, and a file larger than limit is refused.
std::optional<QByteArray> read(const QString &root, const QString &path, QString *error,
                               qint64 limit = 64 << 20);

} // namespace Site

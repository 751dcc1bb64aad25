#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;
class QWebEngineView;

// The browser engine behind the preview. It lives in a library of its own that the program
// loads only once its window is on screen: loading the engine's libraries alone takes longer
// than the rest of the program needs to start.
enum class PreviewLoad { Succeeded, Failed, Stopped };

// What a local page is served as: its bytes and the charset they are read in.
struct ServedPage
{
    QByteArray bytes;
    QByteArray charset;
};

struct PreviewEngineEvents
{
    std::function<void(const QString &url)> linkHovered;
    std::function<void()> loadStarted;
    // The end of the load of url; failure says, in Japanese, why a failed load failed.
    std::function<void(PreviewLoad end, const QUrl &url, const QString &failure)> loadFinished;
    // Makes what a local page is shown as from its bytes (the pictographs drawn).
    std::function<ServedPage(const QByteArray &page)> servedPage;
};

class PreviewEngine
{
public:
    // Deletes the view.
    virtual ~PreviewEngine() = default;
    virtual QWebEngineView *view() const = 0;
    // The view as the widget it is, for the layout.
    virtual QWidget *widget() const = 0;
    virtual void load(const QUrl &url) = 0;
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void stop() = 0;
    virtual void reload() = 0;
    virtual QUrl url() const = 0;
    // The address whose requests are served from file instead of the file it names; one at a
    // time, none when the address is empty.
    virtual void setAlias(const QUrl &address, const QString &file) = 0;
};

// The library's one entry point, looked up by this name: a view inside parent, with local
// files served under scheme.
#define ZEMLO_PREVIEW_ENTRY "zemloCreatePreviewEngine"
using CreatePreviewEngine = PreviewEngine *(*)(QWidget *parent, const QByteArray &scheme,
                                               const PreviewEngineEvents &events);

#pragma once

#include "documents/DocumentHost.h"

#include <QString>
#include <QWidget>

// The tool windows (the tag library, the pictograph picker) are each one window at most, a
// direct child of the main window. A window of the kind must offer isUnloaded() and be built
// from the host; load is the member that fills it the first time it is shown.

// The loaded window of a kind, if any. One closed by its title bar may still wait for its
// deletion: it counts as unloaded.
template <typename Window> Window *LoadedToolWindow(const DocumentHost &host)
{
    const QList<Window *> windows =
        host.dialogParent()->template findChildren<Window *>(QString(), Qt::FindDirectChildrenOnly);
    for (Window *window : windows)
        if (!window->isUnloaded())
            return window;
    return nullptr;
}

// Shows the window of a kind, loading one first when none is loaded; a hidden window comes back
// with its content, place and size as they were.
template <typename Window> Window *ShowToolWindow(DocumentHost &host, void (Window::*load)())
{
    Window *window = LoadedToolWindow<Window>(host);
    if (!window) {
        window = new Window(host);
        (window->*load)();
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

#include "widgets/LockKeys.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

LockKeyState readLockKeys()
{
    LockKeyState state;
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return state;
    auto named = [display](const char *name) {
        Bool on = False;
        const Atom atom = XInternAtom(display, name, False);
        XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr);
        return on == True;
    };
    state.known = true;
    state.num = named("Num Lock");
    state.caps = named("Caps Lock");
    state.scroll = named("Scroll Lock");
    return state;
}

#include "app/WindowArrangement.h"

#include "app/MDI_Main.h"
#include "app/TileLayout.h"
#include "documents/Form_Editer.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

namespace {
QList<QMdiSubWindow *> documentWindows(MDI_Main &main, QMdiArea::WindowOrder order)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *sub : main.mdiArea->subWindowList(order))
        if (qobject_cast<Form_Editer *>(sub->widget()))
            windows.append(sub);
    return windows;
}

// Normal windows in the given places; the active window stays the active one.
void place(MDI_Main &main, const QList<QMdiSubWindow *> &windows, const QList<QRect> &places)
{
    QMdiSubWindow *active = main.mdiArea->currentSubWindow();
    for (QMdiSubWindow *sub : windows)
        if (sub->isMaximized() || sub->isMinimized())
            sub->showNormal();
    for (qsizetype i = 0; i < windows.size() && i < places.size(); ++i) {
        windows.at(i)->setGeometry(places.at(i));
        windows.at(i)->raise();
    }
    if (active && windows.contains(active)) {
        active->raise();
        main.mdiArea->setActiveSubWindow(active);
    }
}

void tile(MDI_Main &main, Qt::Orientation stacking)
{
    const QList<QMdiSubWindow *> windows = documentWindows(main, QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    place(main, windows,
          TileStrips(main.mdiArea->viewport()->rect(), int(windows.size()), stacking));
}
} // namespace

void ArrangeTileHorizontal(MDI_Main &main)
{
    tile(main, Qt::Vertical);
}

void ArrangeTileVertical(MDI_Main &main)
{
    tile(main, Qt::Horizontal);
}

void ArrangeCascade(MDI_Main &main)
{
    // Bottom first, so the window in front stays in front.
    const QList<QMdiSubWindow *> windows = documentWindows(main, QMdiArea::StackingOrder);
    if (windows.isEmpty())
        return;
    const int step = main.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.first());
    place(main, windows,
          CascadePlaces(main.mdiArea->viewport()->rect(), int(windows.size()), step));
}

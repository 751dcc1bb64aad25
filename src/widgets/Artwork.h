#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>

// The program's pictures, painted in code so that the program needs no image files of its own:
// tool-bar button images, the window icon and the main window's mouse pointer.
namespace Artwork {

// Every button key that has its own picture: the main tool bar's t_ keys, the preview tool
// bar's buttons and the tool windows' bottom-bar buttons.
QStringList buttonKeys();

// A button picture at 16 x 16 and 24 x 24. An unknown key gives a plain generic picture.
QIcon buttonIcon(const QString &key);

// One button picture at one size (in pixels), transparent around the drawing.
QImage buttonImage(const QString &key, int size);

// A phone-like page with a "<>" mark, from 16 to 256 pixels.
QIcon appIcon();
QImage appImage(int size);

// Monochrome 32 x 32 arrow with a pen nib; hot spot at the top-left corner.
QCursor customPointer();

QCursor pointingHand();

} // namespace Artwork

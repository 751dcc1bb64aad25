#pragma once

#include <QByteArray>

// A GIF of one pixel of one colour, which a page draws as large as it likes.
inline QByteArray onePixelGif(quint8 r, quint8 g, quint8 b)
{
    QByteArray bytes("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);
    bytes += char(r);
    bytes += char(g);
    bytes += char(b);
    static const char rest[] = "\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;";
    return bytes + QByteArray(rest, sizeof rest - 1);
}

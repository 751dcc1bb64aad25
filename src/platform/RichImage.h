#pragma once

#include "platform/PieceText.h"

#include <QList>
#include <QString>

// A run of characters drawn in one colour (0x00BBGGRR).
struct ColorRun
{
    int start = 0;
    int length = 0;
    quint32 color = 0;
    friend bool operator==(const ColorRun &, const ColorRun &) = default;
};

// The whole content of a text control with its character colours: what the control's
// rich-text image holds, restored exactly when set back. Text without a run has the
// default (window-text) colour.
struct RichImage
{
    PieceText text;
    QList<ColorRun> runs;
    bool isEmpty() const { return text.isEmpty(); }
    friend bool operator==(const RichImage &, const RichImage &) = default;
};

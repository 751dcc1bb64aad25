#pragma once

#include "text/Cp932.h"
#include "text/PieceText.h"

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

// The whole content of a text control with its character colours and the byte forms its
// characters were read in: what the control's rich-text image holds, restored exactly when set
// back. Text without a run has the default (window-text) colour; a character without a form
// is written as Windows writes it, a line end without one as the page's own line end.
struct RichImage
{
    PieceText text;
    QList<ColorRun> runs;
    Cp932::Forms forms;
    Cp932::LineEnds lineEnds = Cp932::LineEnds::CrLf;
    bool isEmpty() const { return text.isEmpty(); }
    friend bool operator==(const RichImage &, const RichImage &) = default;
};

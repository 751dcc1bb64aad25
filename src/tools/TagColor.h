#pragma once

#include "platform/SystemColor.h"

#include <QList>
#include <QStringView>
#include <QtGlobal>

namespace TagColors {
constexpr quint32 WindowText = SystemColor::WindowText;
constexpr quint32 Declaration = 0x000080;  // "!": comments and declarations, dark red
constexpr quint32 Anchor = 0x800080;       // A: purple
constexpr quint32 Block = 0x800000;        // B, P: navy
constexpr quint32 Division = 0x0040C0;     // D: orange-brown
constexpr quint32 Font = 0x008000;         // F: green
constexpr quint32 Heading = 0x808000;      // H: teal
constexpr quint32 Image = 0xFF8080;        // I: light blue
constexpr quint32 Table = 0x008080;        // T: olive
constexpr quint32 Other = 0x404040;        // anything else: dark grey
} // namespace TagColors

// The colour of a tag from the character after its "<", or after the "/" that follows it.
// The first character is not examined, so any text can be passed.
quint32 TagColorFor(QStringView tag);

// One tag of a text: from a "<" through the next ">", positions 0-based in UTF-16 units.
struct TagSpan
{
    qsizetype start = 0;
    qsizetype length = 0;
    quint32 color = TagColors::Other;

    friend bool operator==(const TagSpan &, const TagSpan &) = default;
};

// Calls visit(TagSpan) for every tag of text, in order. A "<" inside a tag belongs to it, and
// a "<" with no ">" after it ends the scan, since no later "<" can be closed either. One pass:
// each search starts where the previous one stopped.
template <typename Visit> void ForEachTagSpan(QStringView text, Visit &&visit)
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype lt = text.indexOf(u'<', from);
        if (lt < 0)
            return;
        const qsizetype gt = text.indexOf(u'>', lt);
        if (gt < 0)
            return;
        const qsizetype length = gt - lt + 1;
        visit(TagSpan{lt, length, TagColorFor(text.mid(lt, length))});
        from = gt;
    }
}

// Every tag of text; characters outside them keep the window-text colour.
QList<TagSpan> FindTagSpans(QStringView text);

#include "tools/TagColor.h"

quint32 TagColorFor(QStringView tag)
{
    qsizetype at = 1;
    if (tag.size() > at && tag[at] == u'/')
        at = 2;
    if (tag.size() <= at)
        return TagColors::Other;

    switch (tag[at].unicode()) {
    case u'!':
        return TagColors::Declaration;
    case u'A':
    case u'a':
        return TagColors::Anchor;
    case u'B':
    case u'b':
    case u'P':
    case u'p':
        return TagColors::Block;
    case u'D':
    case u'd':
        return TagColors::Division;
    case u'F':
    case u'f':
        return TagColors::Font;
    case u'H':
    case u'h':
        return TagColors::Heading;
    case u'I':
    case u'i':
        return TagColors::Image;
    case u'T':
    case u't':
        return TagColors::Table;
    default:
        return TagColors::Other;
    }
}

QList<TagSpan> FindTagSpans(QStringView text)
{
    QList<TagSpan> spans;
    ForEachTagSpan(text, [&spans](const TagSpan &span) { spans.append(span); });
    return spans;
}

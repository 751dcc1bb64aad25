// The tag spans of a text: in order, inside the text, not overlapping, each from a "<" to the
// first ">" after it, and every tag that can be closed is found.
#include "FuzzCheck.h"
#include "tools/TagColor.h"

namespace {

bool knownColor(quint32 color)
{
    switch (color) {
    case TagColors::Declaration:
    case TagColors::Anchor:
    case TagColors::Block:
    case TagColors::Division:
    case TagColors::Font:
    case TagColors::Heading:
    case TagColors::Image:
    case TagColors::Table:
    case TagColors::Other:
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Half the inputs as Latin-1 so that "<" and ">" are common, half as UTF-16.
    const QString text =
        size > 0 && (data[0] & 1)
            ? FuzzUtf16(data + 1, size - 1)
            : QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));

    QList<TagSpan> visited;
    ForEachTagSpan(text, [&](const TagSpan &span) { visited.append(span); });
    FUZZ_CHECK(FindTagSpans(text) == visited);

    qsizetype end = 0; // where the previous span stopped
    for (const TagSpan &span : visited) {
        FUZZ_CHECK(span.start >= end);
        FUZZ_CHECK(span.length >= 2);
        FUZZ_CHECK(span.start + span.length <= text.size());
        FUZZ_CHECK(text[span.start] == u'<');
        FUZZ_CHECK(text[span.start + span.length - 1] == u'>');
        // The first ">" after the "<" closes it.
        FUZZ_CHECK(text.indexOf(u'>', span.start) == span.start + span.length - 1);
        // No tag was skipped: no ">" stands between two spans after a "<" of the gap.
        const qsizetype gapLt = text.indexOf(u'<', end);
        FUZZ_CHECK(gapLt == span.start || gapLt > span.start);
        FUZZ_CHECK(span.color == TagColorFor(QStringView(text).sliced(span.start, span.length)));
        FUZZ_CHECK(knownColor(span.color));
        end = span.start + span.length;
    }
    // After the last span, a "<" is never closed.
    const qsizetype lt = text.indexOf(u'<', end);
    if (lt >= 0)
        FUZZ_CHECK(text.indexOf(u'>', lt) < 0);

    // The colour rule reads any text, however short.
    FUZZ_CHECK(knownColor(TagColorFor(text)));
    return 0;
}

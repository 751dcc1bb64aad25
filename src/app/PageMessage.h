#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <optional>

// What a later start hands to the running copy: the full paths of its pages, UTF-8, each ended
// by a NUL, and an empty one last.
namespace PageMessage {
// More than any list of pages a command line holds; a caller sending more is cut off.
inline constexpr qsizetype Max = 4 * 1024 * 1024;

QByteArray format(const QStringList &paths);

// The pages of a whole message, in order. A path that is not a full one (it would be read
// against the running copy's folder, not the caller's), is not UTF-8 or holds a line break or
// another control character is passed over. An empty or oversized message, or one without
// its end, is no message: nothing.
std::optional<QStringList> parse(QByteArrayView message);

// Gathers a message as its pieces come, looking at each byte once however small they are.
class Reader
{
public:
    enum class State
    {
        Incomplete,
        Whole,
        TooLong
    };
    State add(QByteArrayView piece);
    // The message up to its end, once whole.
    QByteArrayView message() const { return QByteArrayView(m_bytes).first(m_end); }

private:
    QByteArray m_bytes;
    qsizetype m_scanned = 0;
    qsizetype m_end = 0;
};
} // namespace PageMessage

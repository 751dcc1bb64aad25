#include "app/PageMessage.h"

#include <QDir>
#include <QStringDecoder>
#include <algorithm>

namespace PageMessage {

QByteArray format(const QStringList &paths)
{
    QByteArray message;
    for (const QString &p : paths)
        if (!p.isEmpty())
            message += p.toUtf8() + '\0';
    return message + '\0';
}

std::optional<QStringList> parse(QByteArrayView message)
{
    if (message.isEmpty() || message.size() > Max || !message.endsWith('\0'))
        return std::nullopt;
    QStringList pages;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = message.indexOf('\0', start);
        if (end < 0)
            return std::nullopt;
        if (end == start)
            return end + 1 == message.size() ? std::optional(pages) : std::nullopt;
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString path = decode(message.sliced(start, end - start));
        const bool control = std::any_of(path.cbegin(), path.cend(), [](QChar c) {
            return c.category() == QChar::Other_Control;
        });
        if (!decode.hasError() && !control && QDir::isAbsolutePath(path))
            pages.append(path);
        start = end + 1;
    }
}

Reader::State Reader::add(QByteArrayView piece)
{
    if (m_end > 0)
        return State::Whole;
    m_bytes.append(piece);
    // The end is the empty path: a NUL at the start, or right after the NUL ending a path.
    qsizetype at = m_scanned;
    for (; at < m_bytes.size(); ++at) {
        if (m_bytes.at(at) == '\0' && (at == 0 || m_bytes.at(at - 1) == '\0')) {
            m_end = at + 1;
            break;
        }
    }
    m_scanned = at;
    if (m_end > 0)
        return m_end > Max ? State::TooLong : State::Whole;
    return m_bytes.size() > Max ? State::TooLong : State::Incomplete;
}

} // namespace PageMessage

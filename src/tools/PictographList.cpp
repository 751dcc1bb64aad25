#include "tools/PictographList.h"

#include "text/Cp932.h"
#include "platform/FileReplace.h"

#include <QFile>

namespace {

// Reads delimited fields one after the other from the decoded list.
class FieldReader
{
public:
    explicit FieldReader(QStringView text) : m_text(text) {}

    // The next field, or nothing at the end of the text. A comma at the very end still
    // announces an (empty) field.
    std::optional<QString> next()
    {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
        if (m_pos >= m_text.size() && !m_afterComma)
            return std::nullopt;
        m_afterComma = false;

        QString field;
        if (m_pos < m_text.size() && m_text[m_pos] == u'"') {
            const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
            const qsizetype end = close < 0 ? m_text.size() : close;
            field = m_text.sliced(m_pos + 1, end - m_pos - 1).toString();
            // Whatever stands between the closing quote and the delimiter is not part of it.
            m_pos = end;
            skipToDelimiter();
        } else {
            const qsizetype start = m_pos;
            skipToDelimiter();
            field = m_text.sliced(start, m_pos - start).toString();
        }
        consumeDelimiter();
        return field;
    }

private:
    static bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
    static bool isDelimiter(QChar c) { return c == u',' || c == u'\r' || c == u'\n'; }

    void skipToDelimiter()
    {
        while (m_pos < m_text.size() && !isDelimiter(m_text[m_pos]))
            ++m_pos;
    }

    void consumeDelimiter()
    {
        if (m_pos >= m_text.size())
            return;
        const QChar c = m_text[m_pos++];
        if (c == u',')
            m_afterComma = true;
        else if (c == u'\r' && m_pos < m_text.size() && m_text[m_pos] == u'\n')
            ++m_pos;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_afterComma = false;
};

} // namespace

namespace PictographList {

PictographListRead parse(QByteArrayView bytes)
{
    const QString text = Cp932::decode(bytes);
    FieldReader reader(text);
    PictographListRead result;
    result.records.reserve(Size);
    while (result.records.size() < Size) {
        std::optional<QString> code = reader.next();
        std::optional<QString> label = code ? reader.next() : std::nullopt;
        std::optional<QString> note = label ? reader.next() : std::nullopt;
        if (!note) {
            result.failure = ZError(ZErr::InputPastEnd).info();
            break;
        }
        result.records.append({std::move(*code), std::move(*label), std::move(*note)});
    }
    return result;
}

PictographListRead read(const QString &path)
{
    QByteArray bytes;
    try {
        bytes = ReadFileContent(path);
    } catch (const ZError &e) {
        // A missing list is one failure, whether its folder is there or not.
        if (IsMissingFileNumber(e.number()))
            return {{}, ZError(ZErr::FileNotFound).info()};
        return {{}, e.info()};
    }
    return parse(bytes);
}

QString listPath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/ImageList/ImageList.lst");
}

QString imagePath(const QString &programFolder, const QString &code)
{
    return programFolder + QStringLiteral("/ImageList/") + code + QStringLiteral(".gif");
}

QString keyOf(const PictographRecord &record)
{
    return u'i' + record.Code;
}

QString captionOf(const PictographRecord &record)
{
    return record.Label + u'\r' + QStringLiteral(" [ ") + record.Note + QStringLiteral(" ]");
}

QString insertionTextOf(QStringView key)
{
    return QStringLiteral("&#") + key.right(5).toString() + u';';
}

} // namespace PictographList

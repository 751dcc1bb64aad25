#include "documents/JournalRecord.h"

#include <QCryptographicHash>
#include <QDir>
#include <QUrl>
#include <algorithm>

namespace JournalRecord {

namespace {

const QByteArray Magic = "zemlo-journal 1";

QByteArray lineEndName(Cp932::LineEnds lineEnds)
{
    switch (lineEnds) {
    case Cp932::LineEnds::CrLf:
        return "crlf";
    case Cp932::LineEnds::Cr:
        return "cr";
    default:
        return "lf";
    }
}

std::optional<Cp932::LineEnds> lineEndsNamed(const QByteArray &name)
{
    if (name == "crlf")
        return Cp932::LineEnds::CrLf;
    if (name == "cr")
        return Cp932::LineEnds::Cr;
    if (name == "lf")
        return Cp932::LineEnds::Lf;
    return std::nullopt;
}

QByteArray digest(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

// A page a window may take as its name: a full path, already clean (no "..", no "."), of one
// line, so that the question lists it as it is.
bool isPagePath(const QString &page)
{
    if (!QDir::isAbsolutePath(page) || QDir::cleanPath(page) != page)
        return false;
    return std::none_of(page.cbegin(), page.cend(),
                        [](QChar c) { return c.category() == QChar::Other_Control; });
}

std::optional<Record> refuse(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
    return std::nullopt;
}

} // namespace

QByteArray write(const QString &page, const QDateTime &time, const QString &dataName,
                 const QByteArray &data, const Cp932::Forms &forms, Cp932::LineEnds lineEnds)
{
    QByteArray out = Magic + '\n';
    out += "page=" + QUrl::toPercentEncoding(page) + '\n';
    out += "time=" + time.toUTC().toString(Qt::ISODateWithMs).toLatin1() + '\n';
    out += "data=" + QUrl::toPercentEncoding(dataName) + '\n';
    out += "size=" + QByteArray::number(data.size()) + '\n';
    out += "md5=" + digest(data) + '\n';
    out += "lineends=" + lineEndName(lineEnds) + '\n';
    out += "forms=";
    for (qsizetype i = 0; i < forms.size(); ++i) {
        if (i)
            out += ' ';
        out += QByteArray::number(forms[i].position) + ':' + QByteArray::number(forms[i].bytes, 16);
    }
    out += '\n';
    return out;
}

std::optional<Record> read(const QByteArray &bytes, const QString &id, const QString &newPage,
                           QString *why)
{
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.first() != Magic)
        return refuse(why, QStringLiteral("控えの記録ではありません"));
    Record r;
    bool sawLineEnds = false;
    for (const QByteArray &line : lines) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq), value = line.mid(eq + 1);
        if (key == "page") {
            r.page = QUrl::fromPercentEncoding(value);
        } else if (key == "time") {
            r.time = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODateWithMs);
        } else if (key == "data") {
            r.dataName = QUrl::fromPercentEncoding(value);
        } else if (key == "size") {
            bool ok = false;
            r.size = value.toLongLong(&ok);
            if (!ok)
                return refuse(why, QStringLiteral("大きさが読めません"));
        } else if (key == "md5") {
            r.md5 = value;
        } else if (key == "lineends") {
            const auto ends = lineEndsNamed(value);
            if (!ends)
                return refuse(why, QStringLiteral("改行の種類が読めません"));
            r.lineEnds = *ends;
            sawLineEnds = true;
        } else if (key == "forms") {
            for (const QByteArray &item : value.split(' ')) {
                if (item.isEmpty())
                    continue;
                const qsizetype colon = item.indexOf(':');
                bool okPos = false, okBytes = false;
                const int position = item.left(colon).toInt(&okPos);
                const uint form = item.mid(colon + 1).toUInt(&okBytes, 16);
                if (colon < 0 || !okPos || !okBytes || position < 0 || form > 0xFFFF ||
                    (!r.forms.isEmpty() && r.forms.last().position >= position))
                    return refuse(why, QStringLiteral("バイト形式が読めません"));
                r.forms.append(Cp932::Form{position, quint16(form)});
            }
        }
    }
    if (!r.time.isValid() || r.size < 0 || !sawLineEnds)
        return refuse(why, QStringLiteral("項目が足りません"));
    // The text file is the journal's own, beside its record: no name leads anywhere else.
    if (r.dataName != id + QStringLiteral(".sjis") && r.dataName != id + QStringLiteral(".utf8"))
        return refuse(why, QStringLiteral("本文のファイル名が正しくありません"));
    if (r.page != newPage && !isPagePath(r.page))
        return refuse(why, QStringLiteral("ページのパスが正しくありません"));
    return r;
}

std::optional<Page> restore(const Record &record, const QByteArray &data)
{
    Page found;
    found.page = record.page;
    found.time = record.time;
    const bool matches = data.size() == record.size && digest(data) == record.md5;
    Cp932::Page page;
    if (record.dataName.endsWith(QStringLiteral(".utf8"))) {
        page.text = QString::fromUtf8(data);
        page.lineEnds = record.lineEnds;
    } else {
        page = Cp932::decodePage(data);
    }
    // The forms of a record that goes with its text lie inside it; others were made up.
    if (matches && !record.forms.isEmpty() && record.forms.last().position >= page.text.size())
        return std::nullopt;
    found.text = page.text;
    found.forms = page.forms;
    found.lineEnds = page.lineEnds;
    if (record.dataName.endsWith(QStringLiteral(".utf8"))) {
        if (matches)
            found.forms = record.forms;
        return found;
    }
    // The record keeps the page's own line end, which the bytes alone cannot always tell (a
    // tie); it is taken where it gives the very same bytes.
    if (matches && Cp932::encodePage(page.text, record.forms, record.lineEnds).bytes == data) {
        found.forms = record.forms;
        found.lineEnds = record.lineEnds;
    }
    return found;
}

} // namespace JournalRecord

#include "documents/RecoveryJournal.h"

#include "platform/FileReplace.h"
#include "platform/ZError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QByteArray Magic = "zemlo-journal 1";
const QString RecordSuffix = QStringLiteral(".rec");
const QString BytesSuffix = QStringLiteral(".sjis");
const QString TextSuffix = QStringLiteral(".utf8");

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

QByteArray recordBytes(const QString &page, const QString &dataName, const QByteArray &data,
                       const Cp932::Forms &forms, Cp932::LineEnds lineEnds)
{
    QByteArray out = Magic + '\n';
    out += "page=" + QUrl::toPercentEncoding(page) + '\n';
    out += "time=" + QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1() + '\n';
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

struct Record
{
    QString page;
    QDateTime time;
    QString dataName;
    qsizetype size = -1;
    QByteArray md5;
    Cp932::LineEnds lineEnds = Cp932::LineEnds::CrLf;
    Cp932::Forms forms;
};

std::optional<Record> parseRecord(const QByteArray &bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.first() != Magic)
        return std::nullopt;
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
                return std::nullopt;
        } else if (key == "md5") {
            r.md5 = value;
        } else if (key == "lineends") {
            const auto ends = lineEndsNamed(value);
            if (!ends)
                return std::nullopt;
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
                if (colon < 0 || !okPos || !okBytes || form > 0xFFFF ||
                    (!r.forms.isEmpty() && r.forms.last().position >= position))
                    return std::nullopt;
                r.forms.append(Cp932::Form{position, quint16(form)});
            }
        }
    }
    // The data file lies beside its record and is named by it alone: no path goes elsewhere.
    if (r.page.isEmpty() || !r.time.isValid() || r.dataName.isEmpty() ||
        r.dataName.contains(u'/') || r.dataName.startsWith(u'.') || r.size < 0 || !sawLineEnds)
        return std::nullopt;
    return r;
}

// The page a journal gives back. A text file that does not match its record was written by an
// end that came before its record: it is newer, and read by itself.
RecoveryJournal::Found pageFrom(const Record &record, const QByteArray &data)
{
    RecoveryJournal::Found found;
    found.page = record.page;
    found.time = record.time;
    const bool matches = data.size() == record.size && digest(data) == record.md5;
    if (record.dataName.endsWith(TextSuffix)) {
        found.text = QString::fromUtf8(data);
        found.lineEnds = record.lineEnds;
        if (matches)
            found.forms = record.forms;
        return found;
    }
    Cp932::Page page = Cp932::decodePage(data);
    found.text = page.text;
    found.forms = page.forms;
    found.lineEnds = page.lineEnds;
    // The record keeps the page's own line end, which the bytes alone cannot always tell (a
    // tie); it is taken where it gives the very same bytes.
    if (matches && Cp932::encodePage(page.text, record.forms, record.lineEnds).bytes == data) {
        found.forms = record.forms;
        found.lineEnds = record.lineEnds;
    }
    return found;
}

// The worker yields the processor to the window: a keystroke that lands while a large page is
// encoded must not wait for it. Niced rather than idle, so that the copy still gets written
// on a machine that is never idle.
void yieldToTheWindow()
{
    thread_local const bool lowered = ::setpriority(PRIO_PROCESS, ::gettid(), 10) == 0;
    (void)lowered;
}

QString failureText(const ZErrorInfo &info)
{
    return QStringLiteral("復元用の控えを保存できません：") +
           (info.description.isEmpty() ? ZError::describe(info.number) : info.description);
}

} // namespace

RecoveryJournal::RecoveryJournal(const QString &folder, QObject *parent)
    : QObject(parent), m_folder(folder)
{
    m_worker.setMaxThreadCount(1);
    m_runStamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")) +
                 u'-' + QString::number(::getpid());
}

RecoveryJournal::~RecoveryJournal() { m_worker.waitForDone(); }

QString RecoveryJournal::newId() { return m_runStamp + u'-' + QString::number(++m_next); }

void RecoveryJournal::write(const QString &id, const QString &page, const RichImage &image)
{
    // The image shares the text's pieces: the copy is cheap here, the text is built and
    // encoded on the worker.
    m_worker.start([this, id, page, image, folder = m_folder] {
        yieldToTheWindow();
        const QString text = image.text.toString();
        const Cp932::Encoded encoded = Cp932::encodePage(text, image.forms, image.lineEnds);
        // Characters that Shift-JIS cannot hold are kept as text rather than lost as "?".
        const bool asText = !encoded.ok();
        const QByteArray data = asText ? text.toUtf8() : encoded.bytes;
        const QString dataName = id + (asText ? TextSuffix : BytesSuffix);
        const QFileInfo at(folder);
        if (!at.isDir() && !QDir().mkpath(folder)) {
            reportFailure(failureText(
                ZError(at.exists() ? ZErr::PathFileAccess : ZErr::PathNotFound,
                       QStringLiteral("フォルダを作成できません：") + folder)
                    .info()));
            return;
        }
        if (auto failure = ReplaceFileContent(folder + u'/' + dataName, data)) {
            reportFailure(failureText(*failure));
            return;
        }
        const QByteArray record =
            recordBytes(page, dataName, data, image.forms, image.lineEnds);
        if (auto failure = ReplaceFileContent(folder + u'/' + id + RecordSuffix, record)) {
            reportFailure(failureText(*failure));
            return;
        }
        QFile::remove(folder + u'/' + id + (asText ? BytesSuffix : TextSuffix));
    });
}

void RecoveryJournal::remove(const QString &id)
{
    m_worker.start([id, folder = m_folder] { discard(folder, id); });
}

void RecoveryJournal::waitForIdle() { m_worker.waitForDone(); }

void RecoveryJournal::reportFailure(const QString &message)
{
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            if (m_reported)
                return;
            m_reported = true;
            if (onFailure)
                onFailure(message);
        },
        Qt::QueuedConnection);
}

RecoveryJournal::Scan RecoveryJournal::scan(const QString &folder)
{
    Scan scan;
    const QDir dir(folder);
    const QStringList records =
        dir.entryList({QStringLiteral("*") + RecordSuffix}, QDir::Files, QDir::Name);
    for (const QString &name : records) {
        try {
            const std::optional<Record> record = parseRecord(ReadFileContent(dir.filePath(name)));
            if (!record) {
                scan.unreadable << name;
                continue;
            }
            Found found = pageFrom(*record, ReadFileContent(dir.filePath(record->dataName)));
            found.id = name.chopped(RecordSuffix.size());
            scan.pages << found;
        } catch (const ZError &) {
            scan.unreadable << name;
        }
    }
    std::stable_sort(scan.pages.begin(), scan.pages.end(),
                     [](const Found &a, const Found &b) { return a.time < b.time; });
    return scan;
}

void RecoveryJournal::discard(const QString &folder, const QString &id)
{
    // The record first: without it the text file is never offered again.
    QFile::remove(folder + u'/' + id + RecordSuffix);
    QFile::remove(folder + u'/' + id + BytesSuffix);
    QFile::remove(folder + u'/' + id + TextSuffix);
}

// The tag library file: any file reads into whole entries, and what is read writes back and
// reads again as the same entries; a refused write leaves the file as it was.
#include "FuzzCheck.h"
#include "text/Cp932.h"
#include "text/CrLines.h"
#include "taglib/TagLibraryFile.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const QString input = dir.filePath(QStringLiteral("input.lib"));
    const QString output = dir.filePath(QStringLiteral("output.lib"));
    const QByteArray bytes = FuzzBytes(data, size);
    FUZZ_CHECK(writeAll(input, bytes));

    // Lines end at CR LF or a lone CR, which are not part of them; in a file without a CR,
    // at LF.
    const QList<QByteArrayView> lines = SplitCrOrLfLines(bytes);
    const bool lfEnds = !bytes.contains('\r');
    qsizetype total = 0;
    for (const QByteArrayView line : lines) {
        FUZZ_CHECK(!line.contains('\r'));
        FUZZ_CHECK(!lfEnds || !line.contains('\n'));
        total += line.size();
    }
    FUZZ_CHECK(total <= bytes.size());
    FUZZ_CHECK(lines.isEmpty() == bytes.isEmpty());

    const TagLibraryRead read = ReadTagLibraryFile(input);
    FUZZ_CHECK(read.entries.size() == lines.size() / 2);
    FUZZ_CHECK(read.ok() == (lines.size() % 2 == 0));
    if (!read.ok())
        FUZZ_CHECK(read.failure->number == 62);
    for (qsizetype i = 0; i < read.entries.size(); ++i) {
        FUZZ_CHECK(read.entries[i].comment == Cp932::decode(lines[2 * i]));
        FUZZ_CHECK(read.entries[i].tag == Cp932::decode(lines[2 * i + 1]));
    }

    // Every entry read can be written, and reads back the same.
    const std::optional<ZErrorInfo> written = WriteTagLibraryFile(output, read.entries);
    FUZZ_CHECK(!written.has_value());
    const QByteArray saved = readAll(output);
    const TagLibraryRead again = ReadTagLibraryFile(output);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.entries == read.entries);
    FUZZ_CHECK(saved.isEmpty() || saved.endsWith("\r\n"));

    // An entry holding a CR, or a character code page 932 cannot hold, is refused and the
    // saved file stays as it was.
    if (size > 0) {
        QList<TagLibraryEntry> bad = read.entries;
        const qsizetype at = bad.isEmpty() ? 0 : data[0] % bad.size();
        const TagLibraryEntry refused = (data[0] & 0x80)
                                            ? TagLibraryEntry{QStringLiteral("a\rb"), QString()}
                                            : TagLibraryEntry{QString(), QStringLiteral("\u00E9")};
        bad.insert(at, refused);
        FUZZ_CHECK(WriteTagLibraryFile(output, bad).has_value());
        FUZZ_CHECK(readAll(output) == saved);
    }

    // Creating a library under an existing name keeps its content.
    FUZZ_CHECK(!CreateTagLibraryFile(output).has_value());
    FUZZ_CHECK(readAll(output) == saved);
    return 0;
}

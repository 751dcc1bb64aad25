// The command line's quoted paths: every pair of quotes gives one path, in order, and a list
// of paths written in quotes reads back as written.
#include "FuzzCheck.h"
#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line =
        (size > 0 && (data[0] & 1))
            ? FuzzUtf16(data + 1, size - 1)
            : QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList paths = QuotedPaths(line);
    const qsizetype quotes = line.count(u'"');
    FUZZ_CHECK(quotes == 2 * paths.size() || quotes == 2 * paths.size() + 1);
    qsizetype from = 0;
    for (const QString &path : paths) {
        FUZZ_CHECK(!path.contains(u'"'));
        const qsizetype open = line.indexOf(u'"', from);
        FUZZ_CHECK(open >= 0);
        FUZZ_CHECK(QStringView(line).sliced(open + 1, path.size()) == path);
        FUZZ_CHECK(line[open + 1 + path.size()] == u'"');
        from = open + path.size() + 2;
    }

    // Paths without quotes, written each in a pair with anything but quotes between them.
    QStringList written = line.split(QChar(1));
    for (QString &path : written)
        path.remove(u'"');
    QString built;
    for (const QString &path : written)
        built += QStringLiteral(" x ") + u'"' + path + u'"';
    FUZZ_CHECK(QuotedPaths(built) == written);
    FUZZ_CHECK(QuotedPaths(built + u'"' + QStringLiteral("unpaired")) == written);

    // The command line after the program's own name, as the arguments give it (split at
    // spaces, which the join puts back).
    FUZZ_CHECK(CommandLinePaths(QStringList{QStringLiteral("zemlo")} + built.split(u' ')) ==
               written);
    // Paths after "--open", as desktop launchers give them, come back exactly as given,
    // quotes and all.
    const QStringList bare = line.split(QChar(1));
    const QStringList launched =
        QStringList{QStringLiteral("zemlo"), QStringLiteral("--open")} + bare;
    FUZZ_CHECK(CommandLinePaths(launched) == bare);
    FUZZ_CHECK(CommandLinePaths(QStringList{}).isEmpty());
    return 0;
}

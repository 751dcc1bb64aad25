#include "app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <algorithm>

QStringList QuotedPaths(const QString &commandLine)
{
    QStringList paths;
    qsizetype start = 0;
    for (;;) {
        const qsizetype open = commandLine.indexOf(QLatin1Char('"'), start);
        if (open < 0)
            break;
        const qsizetype close = commandLine.indexOf(QLatin1Char('"'), open + 1);
        if (close < 0)
            break;
        paths.append(commandLine.mid(open + 1, close - open - 1));
        start = close + 1;
    }
    return paths;
}

CommandLineRequest ReadCommandLine(const QStringList &arguments)
{
    using Action = CommandLineRequest::Action;
    // Never through the quote scan: a name holding a quote would be cut into other paths.
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("--open"))
        return {Action::Open, arguments.mid(2), {}};
    // A line with quotes anywhere keeps its old reading whole: a pair may span arguments, and
    // text outside the pairs never named a page.
    const QStringList given = arguments.mid(1);
    const auto quoted = [](const QString &a) { return a.contains(QLatin1Char('"')); };
    if (std::any_of(given.cbegin(), given.cend(), quoted))
        return {Action::Open, QuotedPaths(given.join(QLatin1Char(' '))), {}};
    QStringList paths;
    for (qsizetype i = 0; i < given.size(); ++i) {
        const QString &a = given.at(i);
        if (a == QLatin1String("--")) {
            paths += given.mid(i + 1);
            break;
        }
        // A lone "-" names a page; so does "--open" but first, as it always did.
        if (!a.startsWith(QLatin1Char('-')) || a == QLatin1String("-") ||
            a == QLatin1String("--open")) {
            paths.append(a);
            continue;
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return {Action::Help, {}, {}};
        if (a == QLatin1String("--version"))
            return {Action::Version, {}, {}};
        return {Action::Refuse, {}, a};
    }
    paths.removeAll(QString());
    return {Action::Open, paths, {}};
}

QStringList CommandLinePaths(const QStringList &arguments)
{
    return ReadCommandLine(arguments).paths;
}

QString CommandLineUsage()
{
    return QStringLiteral(
        "使い方: zemlo [オプション] [ページ...]\n"
        "i-mode のページ (Shift-JIS の HTML ファイル) を編集します。\n"
        "名前を挙げたページを開きます。"
        "既に起動中であれば、そのウィンドウでページを開きます。\n"
        "\n"
        "  -h, --help     この説明を表示して終了します\n"
        "      --version  バージョンを表示して終了します\n"
        "      --open     これ以降の引数をすべて、そのままページの名前とします\n"
        "      --         これ以降の引数をすべてページの名前とします (\"-\" で始まる名前に)\n");
}

bool ReadableName(const QByteArray &name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

QString ShownName(const QByteArray &name)
{
    // A character of the locale's encoding is four bytes at most: each place gives one that
    // reads back as itself, or one byte written out.
    QString shown;
    for (qsizetype at = 0; at < name.size();) {
        qsizetype length = 1;
        while (length <= 4 && (at + length > name.size() || !ReadableName(name.sliced(at, length))))
            ++length;
        if (length > 4) {
            shown += QStringLiteral("\\x%1").arg(uchar(name.at(at)), 2, 16, QLatin1Char('0'));
            length = 1;
        } else {
            shown += QFile::decodeName(name.sliced(at, length));
        }
        at += length;
    }
    return shown;
}

QStringList AbsolutePaths(const QStringList &paths, const QString &base)
{
    // "." steps and doubled slashes go; ".." stays, as after a linked folder it leads elsewhere
    // than the step before it.
    const QDir dir(base);
    QStringList absolute;
    absolute.reserve(paths.size());
    for (const QString &p : paths) {
        if (p.isEmpty()) {
            absolute.append(p);
            continue;
        }
        QStringList steps = dir.absoluteFilePath(p).split(QLatin1Char('/'));
        steps.removeIf([](const QString &s) { return s.isEmpty() || s == QLatin1String("."); });
        absolute.append(QLatin1Char('/') + steps.join(QLatin1Char('/')));
    }
    return absolute;
}

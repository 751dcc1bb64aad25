#include "taglib/TagLibraryFile.h"

#include "text/CharacterList.h"
#include "text/Cp932.h"
#include "text/CrLines.h"
#include "platform/FileReplace.h"

#include <QFile>
#include <QSet>

TagLibraryRead ReadTagLibraryFile(const QString &path)
{
    TagLibraryRead result;
    QByteArray bytes;
    try {
        bytes = ReadFileContent(path);
    } catch (const ZError &e) {
        result.failure = e.info();
        return result;
    }

    const QList<QByteArrayView> lines = SplitCrOrLfLines(bytes);
    result.entries.reserve(lines.size() / 2);
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2)
        result.entries.append({Cp932::decode(lines[i]), Cp932::decode(lines[i + 1])});
    if (lines.size() % 2 != 0) {
        result.failure = ZError(ZErr::InputPastEnd).info();
        result.droppedLine = Cp932::decode(lines.last());
    }
    return result;
}

std::optional<QString> UnstorableInEntry(const QString &text)
{
    const Cp932::Encoded encoded = Cp932::encode(text);
    if (!encoded.unencodable.isEmpty()) {
        const QList<uint> codes = encoded.unencodable.toUcs4();
        return QStringLiteral("Shift-JISで保存できない文字が含まれています：") +
               DescribeCharacters(QList<char32_t>(codes.begin(), codes.end()));
    }
    if (text.contains(u'\r'))
        return QStringLiteral("改行(CR)はライブラリに保存できません。");
    return std::nullopt;
}

std::optional<ZErrorInfo> WriteTagLibraryFile(const QString &path,
                                              const QList<TagLibraryEntry> &entries)
{
    QByteArray bytes;
    QList<char32_t> unencodable; // each once, in order of appearance
    QSet<char32_t> seen;
    bool holdsCr = false;
    const auto addLine = [&](const QString &text) {
        const Cp932::Encoded line = Cp932::encode(text);
        for (const char32_t c : line.unencodable.toUcs4()) {
            if (!seen.contains(c)) {
                seen.insert(c);
                unencodable.append(c);
            }
        }
        holdsCr = holdsCr || line.bytes.contains('\r');
        bytes += line.bytes;
        bytes += "\r\n";
    };
    for (const TagLibraryEntry &entry : entries) {
        addLine(entry.comment);
        addLine(entry.tag);
    }

    if (!unencodable.isEmpty()) {
        return ZErrorInfo{ZErr::InvalidCall,
                          QStringLiteral("Shift-JISで保存できない文字が含まれているため、"
                                         "ライブラリを保存しませんでした：") +
                              DescribeCharacters(unencodable)};
    }
    if (holdsCr) {
        return ZErrorInfo{ZErr::InvalidCall,
                          QStringLiteral("改行(CR)を含むコメントまたはTAGがあるため、"
                                         "ライブラリを保存しませんでした。")};
    }
    return ReplaceFileContent(path, bytes);
}

std::optional<ZErrorInfo> CreateTagLibraryFile(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::Append))
        return ZError(OpenFailureNumber(path, true)).info();
    file.close();
    return std::nullopt;
}

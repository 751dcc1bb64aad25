#include "taglib/TagLibraryPath.h"

#include "text/Cp932.h"
#include "text/CrLines.h"
#include "platform/FileReplace.h"

#include <QFile>

QString TagLibraryPointerFile(const QString &programFolder)
{
    return programFolder + QStringLiteral("/zemlo.lib");
}

QString DefaultTagLibraryFile(const QString &programFolder)
{
    return programFolder + QStringLiteral("/zemlo.tag");
}

QString LoadTagLibraryPath(const QString &programFolder)
{
    std::unique_ptr<QFile> opened;
    try {
        opened = OpenRegularFile(TagLibraryPointerFile(programFolder));
    } catch (const ZError &) {
        return DefaultTagLibraryFile(programFolder);
    }
    QFile &file = *opened;

    // Only the first line counts: read up to its end, not the whole file.
    QByteArray head;
    for (;;) {
        const QByteArray chunk = file.read(4096);
        if (chunk.isEmpty())
            break;
        head.append(chunk);
        const qsizetype cr = head.indexOf('\r');
        if (cr >= 0) {
            head.truncate(cr + 1);
            break;
        }
    }
    if (file.error() != QFileDevice::NoError)
        return DefaultTagLibraryFile(programFolder);
    const QList<QByteArrayView> lines = SplitCrLines(head);
    if (lines.isEmpty())
        return DefaultTagLibraryFile(programFolder);
    return Cp932::decode(lines.first());
}

bool SaveTagLibraryPath(const QString &programFolder, const QString &path)
{
    // A path written with "?" in place of a character, or cut at a CR, would point elsewhere.
    const Cp932::Encoded encoded = Cp932::encode(path);
    if (!encoded.ok() || encoded.bytes.contains('\r'))
        return false;
    return !ReplaceFileContent(TagLibraryPointerFile(programFolder), encoded.bytes + "\r\n");
}

#pragma once

#include "platform/ZError.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// One pictograph of the list file beside the program.
struct PictographRecord
{
    QString Code;  // decimal character code, five characters; also its image's base name
    QString Label; // first line of the caption
    QString Note;  // shown in brackets on the second line

    friend bool operator==(const PictographRecord &, const PictographRecord &) = default;
};

struct PictographListRead
{
    // The records read, also those before a failure.
    QList<PictographRecord> records;
    std::optional<ZErrorInfo> failure;

    bool ok() const { return !failure.has_value(); }
};

namespace PictographList {

// The set has exactly this many pictographs: later records are ignored, fewer fail the load.
constexpr int Size = 176;

// Reads the list from code page 932 text: fields separated by commas or line ends (CR LF,
// CR or LF), blanks before a field skipped, a field in double quotes taken without them and
// free to hold commas. A list shorter than Size fails with 62 after the records it has.
PictographListRead parse(QByteArrayView bytes);
PictographListRead read(const QString &path);

QString listPath(const QString &programFolder);
QString imagePath(const QString &programFolder, const QString &code);

// "i" + Code: the key of the pictograph's image.
QString keyOf(const PictographRecord &record);
// Label, CR, " [ ", Note, " ]".
QString captionOf(const PictographRecord &record);
// "&#" + the last five characters of key + ";", which for a five-digit code is its reference.
QString insertionTextOf(QStringView key);

} // namespace PictographList

// The pictograph list reader: any file reads into at most the set's size of records, and a
// list written with quoted fields reads back as written.
#include "FuzzCheck.h"
#include "text/Cp932.h"
#include "tools/PictographList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const PictographListRead read = PictographList::parse(bytes);
    FUZZ_CHECK(read.records.size() <= PictographList::Size);
    FUZZ_CHECK(read.ok() == (read.records.size() == PictographList::Size));
    if (!read.ok())
        FUZZ_CHECK(read.failure->number == 62);

    if (size < 1)
        return 0;
    // Records made of the rest of the input, fields separated by U+0001 there, written with
    // quoted fields and mixed line ends.
    QStringList fields = Cp932::decode(QByteArrayView(bytes).sliced(1)).split(QChar(1));
    for (QString &field : fields) {
        field.remove(u'"');
        field.remove(u'\r');
        field.remove(u'\n');
        // A kept invalid byte could pair with the character that follows it in the new text.
        field.removeIf([](QChar c) { return c.unicode() >= 0xF780 && c.unicode() <= 0xF87F; });
    }
    QList<PictographRecord> records;
    for (qsizetype i = 0; i + 2 < fields.size(); i += 3)
        records.append({fields[i], fields[i + 1], fields[i + 2]});
    if ((data[0] & 1) && !records.isEmpty()) {
        while (records.size() < PictographList::Size + 3)
            records += records;
    }
    static const char *const ends[] = {"\r\n", "\r", "\n", ","};
    QString text;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const PictographRecord &r = records[i];
        const char *blank = (data[0] & 2) ? " \t" : "";
        text += QString::fromLatin1(blank) + u'"' + r.Code + QStringLiteral("\",\"") + r.Label +
                QStringLiteral("\", \"") + r.Note + u'"' +
                QString::fromLatin1(ends[(i + (data[0] >> 2)) % 4]);
    }
    const Cp932::Encoded encoded = Cp932::encode(text);
    if (!encoded.ok())
        return 0; // a decoded text is always writable, but the built one may not be
    const PictographListRead back = PictographList::parse(encoded.bytes);
    const qsizetype expected = qMin<qsizetype>(records.size(), PictographList::Size);
    FUZZ_CHECK(back.records.size() == expected);
    FUZZ_CHECK(back.records == records.mid(0, expected));
    FUZZ_CHECK(back.ok() == (records.size() >= PictographList::Size));
    return 0;
}

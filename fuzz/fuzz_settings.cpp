// The settings reader: any file reads without harm, and what the writer writes reads back.
#include "FuzzCheck.h"
#include "app/SettingsLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content = FuzzBytes(data, size);
    const SettingsLine::Fields fields = SettingsLine::parse(content);
    for (const int value : fields.value) {
        FUZZ_CHECK(value == -1 || value == 0 || value == 1);
        if (value == 1)
            FUZZ_CHECK(content.contains("#TRUE#"));
        if (value == 0)
            FUZZ_CHECK(content.contains("#FALSE#"));
    }
    // An empty file sets nothing.
    if (content.trimmed().isEmpty()) {
        for (const int value : fields.value)
            FUZZ_CHECK(value == -1);
    }

    if (size < 1)
        return 0;
    // The written line reads back, whatever follows it in the file.
    const bool b[4] = {bool(data[0] & 1), bool(data[0] & 2), bool(data[0] & 4), bool(data[0] & 8)};
    const QByteArray line = SettingsLine::format(b[0], b[1], b[2], b[3]);
    FUZZ_CHECK(line.endsWith("\r\n"));
    const SettingsLine::Fields back = SettingsLine::parse(line + content.mid(1));
    for (int i = 0; i < 4; ++i)
        FUZZ_CHECK(back.value[i] == (b[i] ? 1 : 0));
    return 0;
}

#include "app/Settings.h"

#include "app/MDI_Module.h"
#include "app/SettingsLine.h"
#include "platform/FileReplace.h"
#include "tools/PictographList.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ProgramFiles {
QString settings(const QString &programFolder) { return programFolder + "/zemlo.vrn"; }
QString preview(const QString &programFolder) { return programFolder + "/zemlo.htm"; }
QString recentPages(const QString &programFolder) { return programFolder + "/zemlo.mru"; }
QString recoveryJournal(const QString &programFolder)
{
    return programFolder + "/zemlo.recover";
}
QString phoneTarget(const QString &programFolder) { return programFolder + "/zemlo.tgt"; }
QString pictographList(const QString &programFolder)
{
    return PictographList::listPath(programFolder);
}
} // namespace ProgramFiles

void LoadSettings(const QString &programFolder)
{
    using namespace MDI_Module;
    OptTagColor = true;
    OptRealtimePreview = true;
    OptWidth8 = false;
    QFile file(ProgramFiles::settings(programFolder));
    if (!file.open(QIODevice::ReadOnly))
        return;
    // The file is one short line; a damaged one is not read beyond its first kilobyte.
    const auto fields = SettingsLine::parse(file.read(1024));
    if (fields.value[0] >= 0)
        OptTagColor = fields.value[0] == 1;
    if (fields.value[1] >= 0)
        OptRealtimePreview = fields.value[1] == 1;
    if (fields.value[2] >= 0)
        OptWidth8 = fields.value[2] == 1;
}

void SaveSettings(const QString &programFolder, bool tagColor, bool realtimePreview, bool width8,
                  bool width10)
{
    const QString path = ProgramFiles::settings(programFolder);
    // A file the user made read-only stays as it is.
    constexpr auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (QFileInfo::exists(path) && !(QFileInfo(path).permissions() & writeBits))
        return;
    // Written whole or not at all, so a full disk never leaves a cut line behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QByteArray line = SettingsLine::format(tagColor, realtimePreview, width8, width10);
    if (file.write(line) != line.size()) {
        file.cancelWriting();
        return;
    }
    file.commit();
}

void CheckPictographList(const QString &programFolder)
{
    try {
        MDI_Module::PictographListFound =
            OpenRegularFile(ProgramFiles::pictographList(programFolder)) != nullptr;
    } catch (const ZError &) {
        MDI_Module::PictographListFound = false;
    }
}

#pragma once

#include <QString>

// The program's own files, each the program folder followed by a fixed name.
namespace ProgramFiles {
QString settings(const QString &programFolder);
QString preview(const QString &programFolder);
QString pictographList(const QString &programFolder);
QString recentPages(const QString &programFolder);
// The folder of the journals of unsaved work.
QString recoveryJournal(const QString &programFolder);
// The phones the pages are for, kept apart from the settings file.
QString phoneTarget(const QString &programFolder);
} // namespace ProgramFiles

// Fills the Opt flags of MDI_Module from the settings file; a missing or damaged file
// leaves the defaults, silently.
void LoadSettings(const QString &programFolder);
// Writes the settings file from the four check marks; a failure is silent.
void SaveSettings(const QString &programFolder, bool tagColor, bool realtimePreview, bool width8,
                  bool width10);
// Sets PictographListFound by trying to open the pictograph list.
void CheckPictographList(const QString &programFolder);

#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class MDI_Main;
class Prompts;
class SingleInstance;

// What a started program holds: its single-copy lock and its main window.
struct RunningProgram
{
    std::unique_ptr<SingleInstance> instance;
    MDI_Main *window = nullptr;
    RunningProgram();
    ~RunningProgram();
    RunningProgram(RunningProgram &&) noexcept;
    RunningProgram &operator=(RunningProgram &&) noexcept;
};

// The program's start: refuses a second copy, sets the shared flags, checks for the
// pictograph list and shows the main window on the pages named. window is null when another
// copy runs.
RunningProgram Main(const QString &programFolder, Prompts *prompts, const QStringList &paths);

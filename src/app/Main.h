#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class MDI_Main;
class PageReceiver;
class Prompts;
class SingleInstance;

// What a started program holds: its single-copy lock, the door for later starts' pages and
// its main window.
struct RunningProgram
{
    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<PageReceiver> receiver;
    MDI_Main *window = nullptr;
    RunningProgram();
    ~RunningProgram();
    RunningProgram(RunningProgram &&) noexcept;
    RunningProgram &operator=(RunningProgram &&) noexcept;
};

// The program's start: a second copy hands the pages named to the running copy, or, named
// none, is refused with a message; otherwise sets the shared flags, checks for the pictograph
// list and shows the main window on the pages named. window is null when another copy runs.
RunningProgram Main(const QString &programFolder, Prompts *prompts, const QStringList &paths);

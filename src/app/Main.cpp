#include "app/Main.h"

#include "app/MDI_Main.h"
#include "app/MDI_Module.h"
#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "app/CommandWiring.h"
#include "platform/Prompts.h"

RunningProgram::RunningProgram() = default;
RunningProgram::~RunningProgram() = default;
RunningProgram::RunningProgram(RunningProgram &&) noexcept = default;
RunningProgram &RunningProgram::operator=(RunningProgram &&) noexcept = default;

RunningProgram Main(const QString &programFolder, Prompts *prompts, const QStringList &paths)
{
    RunningProgram program;
    program.instance = std::make_unique<SingleInstance>(programFolder);
    if (!program.instance->acquire()) {
        prompts->message(QStringLiteral("このアプリケーションは既に起動されています。"),
                         Prompt::Buttons::Ok, Prompt::Icon::Information, QStringLiteral("確認"));
        program.instance.reset();
        return program;
    }
    MDI_Module::TrackEdits = true;
    CheckPictographList(programFolder);
    program.window = new MDI_Main(programFolder, prompts);
    program.window->setAttribute(Qt::WA_DeleteOnClose);
    InstallAllCommands(*program.window);
    program.window->Load(paths);
    return program;
}

#include "app/Main.h"

#include "app/MDI_Main.h"
#include "app/MDI_Module.h"
#include "app/RunningCopy.h"
#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "app/CommandWiring.h"
#include "platform/Prompts.h"

#include <algorithm>

RunningProgram::RunningProgram() = default;
RunningProgram::~RunningProgram() = default;
RunningProgram::RunningProgram(RunningProgram &&) noexcept = default;
RunningProgram &RunningProgram::operator=(RunningProgram &&) noexcept = default;

RunningProgram Main(const QString &programFolder, Prompts *prompts, const QStringList &paths)
{
    RunningProgram program;
    program.instance = std::make_unique<SingleInstance>(programFolder);
    const bool namesPages =
        std::any_of(paths.cbegin(), paths.cend(), [](const QString &p) { return !p.isEmpty(); });
    // The lock says whether a copy runs; the socket only carries pages. A copy holding the lock
    // that does not answer within a second may have been ending: if the lock is free now this
    // start is the running copy; if not, the copy is hung or cannot take pages, and a second
    // copy would write over its settings and preview, so this start is refused as before.
    if (!program.instance->acquire()) {
        if (namesPages && HandOverPages(programFolder, paths)) {
            program.instance.reset();
            return program;
        }
        if (program.instance->unusable()) {
            prompts->message(program.instance->lockPath() +
                                 QStringLiteral("\r\n\r\nこのアプリケーションが起動中かどうかを"
                                                "確かめるためのファイルですが、ロックできないため"
                                                "起動しません。ファイルでないもの (FIFO や"
                                                "リンク) や読めないファイルであれば、削除してから"
                                                "起動し直してください。"),
                             Prompt::Buttons::Ok, Prompt::Icon::Exclamation,
                             QStringLiteral("確認"));
            program.instance.reset();
            return program;
        }
        if (!namesPages || !program.instance->acquire()) {
            prompts->message(QStringLiteral("このアプリケーションは既に起動されています。"),
                             Prompt::Buttons::Ok, Prompt::Icon::Information,
                             QStringLiteral("確認"));
            program.instance.reset();
            return program;
        }
    }
    // Without a socket the program runs all the same; later starts are then refused.
    program.receiver = std::make_unique<PageReceiver>(programFolder);
    program.receiver->listen();
    MDI_Module::TrackEdits = true;
    CheckPictographList(programFolder);
    program.window = new MDI_Main(programFolder, prompts);
    program.window->setAttribute(Qt::WA_DeleteOnClose);
    InstallAllCommands(*program.window);
    QObject::connect(program.receiver.get(), &PageReceiver::pagesHanded, program.window,
                     &MDI_Main::OpenHandedPages);
    program.window->Load(paths);
    return program;
}

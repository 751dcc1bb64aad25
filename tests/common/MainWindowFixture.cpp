#include "MainWindowFixture.h"

#include "app/CommandLine.h"
#include "app/MDI_Module.h"
#include "app/Settings.h"
#include "app/CommandWiring.h"
#include "documents/OpenDocument.h"

#include <QDir>
#include <QFile>

Form_Editer *MainWindowFixture::openPage(const QString &name, const QByteArray &bytes)
{
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
        file.close();
    }
    return OpenDocument(*window, path(name));
}

MainWindowFixture::MainWindowFixture(const QByteArray &settings, bool pictographList,
                                     const QStringList &arguments)
{
    if (!settings.isNull()) {
        QFile f(ProgramFiles::settings(dir.path()));
        if (f.open(QIODevice::WriteOnly))
            f.write(settings);
    }
    if (pictographList) {
        QDir(dir.path()).mkdir("ImageList");
        QFile f(ProgramFiles::pictographList(dir.path()));
        if (f.open(QIODevice::WriteOnly))
            f.write("");
    }
    MDI_Module::TrackEdits = true;
    CheckPictographList(dir.path());
    window = new MDI_Main(dir.path(), &prompts);
    InstallAllCommands(*window);
    window->Load(CommandLinePaths(arguments));
}

MainWindowFixture::~MainWindowFixture()
{
    if (window) {
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete window;
    }
}

bool MainWindowFixture::close() { return window->close(); }

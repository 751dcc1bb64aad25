#pragma once

#include "app/MDI_Main.h"
#include "platform/ScriptedPrompts.h"

#include <QTemporaryDir>
#include <memory>

// A started main window on a temporary program folder, answering its prompts from a script.
struct MainWindowFixture
{
    explicit MainWindowFixture(const QByteArray &settings = {}, bool pictographList = true,
                               const QString &commandLine = {});
    ~MainWindowFixture();

    QString path(const QString &name) const { return dir.path() + "/" + name; }
    // Closes the window as the user would; true when it closed.
    bool close();

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    MDI_Main *window = nullptr;
};

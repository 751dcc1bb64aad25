#pragma once

#include "app/MDI_Main.h"
#include "ScriptedPrompts.h"

#include <QTemporaryDir>
#include <memory>

// A started main window on a temporary program folder, answering its prompts from a script.
struct MainWindowFixture
{
    // arguments: the program's own, its name first, as the command line gives them.
    explicit MainWindowFixture(const QByteArray &settings = {}, bool pictographList = true,
                               const QStringList &arguments = {});
    ~MainWindowFixture();

    QString path(const QString &name) const { return dir.path() + "/" + name; }
    // Writes a page into the program folder and opens it as the active document. A page that
    // cannot be written (a test's read-only folder) is opened all the same, as a missing file.
    class Form_Editer *openPage(const QString &name, const QByteArray &bytes);
    // Closes the window as the user would; true when it closed.
    bool close();

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    MDI_Main *window = nullptr;
};

#include "app/MDI_Main.h"
#include "app/Main.h"
#include "app/CommandLine.h"
#include "widgets/QtPrompts.h"
#include "widgets/WebBrowser.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // The browser engine refuses to start its sandbox as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The preview shows small pages without scripts: the engine and its page in one process,
    // with the lightest script engine, take the least memory (figures in the README). Switches
    // of the user's own replace these.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--single-process --js-flags=--lite-mode");
    WebBrowser::registerSchemes();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zemlo"));
    QApplication::setDesktopFileName(QStringLiteral("zemlo"));

    // The interface is Japanese throughout, Qt's own dialogs and buttons included; without a
    // locale of the user's own, dates and numbers are written the Japanese way too.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QtPrompts prompts;
    // Absolute, so that a page's name means the same to a running copy it is handed to and in
    // the recent pages, whatever folder a later start is made from.
    RunningProgram program =
        Main(QApplication::applicationDirPath(), &prompts,
             AbsolutePaths(CommandLinePaths(QApplication::arguments()), QDir::currentPath()));
    if (!program.window)
        return 0;
    prompts.setParent(program.window);
    return app.exec();
}

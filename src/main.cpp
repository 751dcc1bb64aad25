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
#include <cstdio>
#include <unistd.h>

namespace {

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    return arguments;
}

void print(std::FILE *to, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
}

// --help and --version are answered and end the program; an unknown option is refused with the
// usage. Otherwise -1: the program starts.
int answerOptions(const CommandLineRequest &request)
{
    switch (request.action) {
    case CommandLineRequest::Action::Help:
        print(stdout, CommandLineUsage());
        return 0;
    case CommandLineRequest::Action::Version:
        print(stdout, QStringLiteral("zemlo " ZEMLO_VERSION "\n"));
        return 0;
    case CommandLineRequest::Action::Refuse:
        print(stderr, QStringLiteral("zemlo: 不明なオプションです: ") + request.option +
                          QStringLiteral("\n\n") + CommandLineUsage());
        return 2;
    case CommandLineRequest::Action::Open:
        break;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Answered before a display is asked for, so that they work anywhere. The display's own
    // options are known only once the application has taken them out: an option not known
    // now may still be one of those.
    if (const CommandLineRequest early = ReadCommandLine(argumentsOf(argc, argv));
        early.action == CommandLineRequest::Action::Help ||
        early.action == CommandLineRequest::Action::Version)
        return answerOptions(early);
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

    // A name that is not text in the locale's encoding would be read as another name (a page
    // named in Shift-JIS bytes as one of replacement characters): it is left out and named.
    QStringList arguments{QApplication::arguments().value(0)}, unreadable;
    for (int i = 1; i < argc; ++i) {
        if (ReadableName(argv[i]))
            arguments.append(QFile::decodeName(argv[i]));
        else
            unreadable.append(ShownName(argv[i]));
    }
    const CommandLineRequest request = ReadCommandLine(arguments);
    if (const int ended = answerOptions(request); ended >= 0)
        return ended;

    QtPrompts prompts;
    // Absolute, so that a page's name means the same to a running copy it is handed to and in
    // the recent pages, whatever folder a later start is made from.
    RunningProgram program = Main(QApplication::applicationDirPath(), &prompts,
                                  AbsolutePaths(request.paths, QDir::currentPath()));
    if (program.window)
        prompts.setParent(program.window);
    if (!unreadable.isEmpty())
        prompts.message(QStringLiteral("次のページは、名前がこの環境の文字コードで読めない"
                                       "バイトを含むため、開けません。\r\n\r\n") +
                            unreadable.join(QStringLiteral("\r\n")),
                        Prompt::Buttons::Ok, Prompt::Icon::Exclamation,
                        QStringLiteral("ページを開けません"));
    if (!program.window)
        return 0;
    return app.exec();
}

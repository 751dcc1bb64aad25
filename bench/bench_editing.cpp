// Prints how long the editing paths take on pages of growing size: the colouring pass, a typed
// character with real-time preview on, and opening a page.
#include "app/CommandWiring.h"
#include "app/MDI_Main.h"
#include "app/MDI_Module.h"
#include "app/Settings.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "platform/Cp932.h"
#include "platform/RichTextBox.h"
#include "platform/ScriptedPrompts.h"
#include "platform/WebBrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

namespace {
QByteArray makePage(qsizetype bytes)
{
    const QString block = QStringLiteral(
        "<a href=\"menu.html\" accesskey=\"1\">メニュー</a><br>\n"
        "<font color=\"#FF0000\">ｾｰﾙ開催中！</font><hr>\n"
        "<div align=\"center\"><img src=\"logo.gif\"></div>\n"
        "<p>本日のお知らせ&#63647;です。</p>\n");
    QString text;
    const QByteArray encodedBlock = Cp932::encode(QString(block).replace("\n", "\r\n")).bytes;
    const qsizetype repeats = qMax<qsizetype>(1, bytes / encodedBlock.size());
    text.reserve(block.size() * repeats);
    for (qsizetype i = 0; i < repeats; ++i)
        text += block;
    return Cp932::encode(text.replace("\n", "\r\n")).bytes;
}

struct Figures
{
    double median = 0, p99 = 0;
};

Figures summarise(QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    Figures f;
    f.median = ms.at(ms.size() / 2);
    f.p99 = ms.at(qMin<qsizetype>(ms.size() - 1, qsizetype(ms.size() * 0.99)));
    return f;
}

void print(const char *what, const char *size, const Figures &f)
{
    std::printf("%-44s %-7s median %9.3f ms   p99 %9.3f ms\n", what, size, f.median, f.p99);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    WebBrowser::registerSchemes();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    MDI_Module::TrackEdits = true;
    auto *main = new MDI_Main(dir.path(), &prompts);
    InstallAllCommands(*main);
    main->Load({});

    const struct
    {
        const char *name;
        qsizetype bytes;
        int runs;
    } sizes[] = {{"5 KB", 5 * 1024, 200}, {"100 KB", 100 * 1024, 100}, {"1 MB", 1024 * 1024, 30},
                 {"10 MB", 10 * 1024 * 1024, 10}};
    // Sizes named on the command line ("1MB") limit the run to them.
    const QStringList only = QCoreApplication::arguments().mid(1);
    for (const auto &size : sizes) {
        if (!only.isEmpty() && !only.contains(QString::fromLatin1(size.name).remove(' ')))
            continue;
        const QString path = dir.path() + "/page.html";
        {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(makePage(size.bytes));
        }
        QElapsedTimer t;
        t.start();
        Form_Editer *doc = OpenDocument(*main, path);
        QCoreApplication::processEvents();
        print("open, shown and coloured", size.name, {double(t.nsecsElapsed()) / 1e6, 0});

        QList<double> pass;
        for (int i = 0; i < qMax(3, size.runs / 5); ++i) {
            t.restart();
            main->runCommand("m_vtag");
            pass.append(double(t.nsecsElapsed()) / 1e6);
        }
        print("full colouring pass", size.name, summarise(pass));

        QList<double> key;
        doc->RichTextBox1->setSelStart(int(doc->RichTextBox1->Text().size() / 2));
        for (int i = 0; i < size.runs; ++i) {
            t.restart();
            QTest::keyClick(doc->RichTextBox1, Qt::Key_A);
            key.append(double(t.nsecsElapsed()) / 1e6);
        }
        print("keystroke -> change, preview file, panel 2", size.name, summarise(key));
        doc->setCloseAgreed(true);
        doc->parentWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    delete main;
    return 0;
}

// Prints how long the editing paths take on pages of growing size: the colouring pass, the phone
// check (alone and as its pane runs it, and a typed character with the pane shown), a typed
// character with real-time preview on (until the change is handled, and until the preview has
// loaded again), opening a page, replacing every match as one step, the program's start-up, and
// the memory each further open page takes, a typed character while the recovery journal is
// being written; and the same page as one long line beside it in many, as minified pages come,
// and such a line pasted.
// Figures only: nothing here asserts.
#include "app/CommandWiring.h"
#include "app/MDI_Main.h"
#include "app/MDI_Module.h"
#include "app/Main.h"
#include "app/PhoneCheckPane.h"
#include "app/Settings.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "documents/RecoveryJournal.h"
#include "text/Cp932.h"
#include "text/PhoneCheck.h"
#include "widgets/RichTextBox.h"
#include "ScriptedPrompts.h"
#include "widgets/WebBrowser.h"
#include "tools/FindBar.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <unistd.h>
#include <utility>

namespace {
QByteArray makePage(qsizetype bytes)
{
    const QString block = QStringLiteral("<a href=\"menu.html\" accesskey=\"1\">メニュー</a><br>\n"
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

// Markup as another program writes it: LF line ends but one CR LF in each block, and twins of the
// Windows sequences (87 90, FA 4A, ED 40) in every block, which the page keeps as forms.
QByteArray makeTwinPage(qsizetype bytes)
{
    const QString markup = QStringLiteral("<a href=\"menu.html\" accesskey=\"1\">メニュー</a><br>\n"
                                          "<font color=\"#FF0000\">ｾｰﾙ開催中！</font><hr>\n"
                                          "<p>本日のお知らせ&#63647;です。</p>\n");
    const QByteArray block =
        Cp932::encode(markup).bytes + QByteArray::fromHex("87 90 FA 4A ED 40") + "\r\n";
    return block.repeated(qMax<qsizetype>(1, bytes / block.size()));
}

// The same markup with no line end at all.
QByteArray makeOneLinePage(qsizetype bytes)
{
    QByteArray page = makePage(bytes);
    page.replace("\r\n", "");
    return page;
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

void printWorst(const char *what, const char *size, const QList<double> &ms)
{
    std::printf("%-44s %-7s worst  %9.3f ms\n", what, size,
                *std::max_element(ms.begin(), ms.end()));
    std::fflush(stdout);
}

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Memory in use: the heap's allocated bytes (small blocks and mapped ones), and the resident
// set from /proc/self/statm.
struct Memory
{
    double heapKb = 0, rssKb = 0;
};

Memory memoryNow()
{
    const struct mallinfo2 m = mallinfo2();
    Memory now;
    now.heapKb = double(m.uordblks + m.hblkhd) / 1024.0;
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (statm.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = statm.readAll().split(' ');
        if (fields.size() > 1)
            now.rssKb = fields.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / 1024.0;
    }
    return now;
}

// Waits until the preview browser has finished loading a page; the time waited in ms, or -1
// when nothing loaded within the timeout.
double waitForLoad(QWebEngineView *view, const QElapsedTimer &since, int timeoutMs = 10000)
{
    QEventLoop loop;
    double at = -1;
    const QMetaObject::Connection c =
        QObject::connect(view, &QWebEngineView::loadFinished, &loop, [&](bool) {
            at = double(since.nsecsElapsed()) / 1e6;
            loop.quit();
        });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(c);
    return at;
}

// Start-up as the program does it, in a child process of the bench: prints the time from the
// parent's start of the process until the main window is shown, until the preview engine is
// up and until its empty preview has loaded.
int startupChild(int argc, char *argv[])
{
    const qint64 t0 = qgetenv("ZEMLO_BENCH_T0").toLongLong();
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    WebBrowser::registerSchemes();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    qint64 readyAt = 0, loadedAt = 0;
    RunningProgram program = Main(dir.path(), &prompts, {});
    if (!program.window)
        return 1;
    const qint64 shownAt = monotonicNs();
    // Main() has shown the window and asked for the preview; the engine starts once the window
    // has been painted and then loads what was asked, so listening from here on misses nothing.
    WebBrowser *browser = program.window->WebBrowser1;
    QEventLoop loop;
    QObject::connect(browser, &WebBrowser::engineReady, &loop, [&] {
        readyAt = monotonicNs();
        QObject::connect(browser->view(), &QWebEngineView::loadFinished, &loop, [&](bool) {
            if (!loadedAt)
                loadedAt = monotonicNs();
            loop.quit();
        });
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    const auto ms = [t0](qint64 at) { return at ? double(at - t0) / 1e6 : -1.0; };
    std::printf("%.3f %.3f %.3f\n", ms(shownAt), ms(readyAt), ms(loadedAt));
    std::fflush(stdout);
    delete program.window;
    return 0;
}

void benchStartup(int runs)
{
    QList<double> shown, ready, preview;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZEMLO_BENCH_T0"), QString::number(monotonicNs()));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup-child")});
        if (!child.waitForFinished(60000))
            continue;
        const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
        if (fields.size() != 3)
            continue;
        shown << fields.at(0).toDouble();
        if (fields.at(1).toDouble() >= 0)
            ready << fields.at(1).toDouble();
        if (fields.at(2).toDouble() >= 0)
            preview << fields.at(2).toDouble();
    }
    if (!shown.isEmpty())
        print("start-up -> main window shown", "-", summarise(shown));
    if (!ready.isEmpty())
        print("start-up -> preview engine up", "-", summarise(ready));
    if (!preview.isEmpty())
        print("start-up -> empty preview loaded", "-", summarise(preview));
}

void closeDocument(Form_Editer *doc)
{
    doc->setCloseAgreed(true);
    doc->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// What a user waits for on one page: opening it, the colouring pass, a typed character in the
// middle of the page, and a typed character until the preview shows it.
struct PageFigures
{
    Figures open, pass, key, shown;
};

PageFigures measurePage(MDI_Main &main, QWebEngineView *view, const QString &path, int runs,
                        int opens)
{
    PageFigures out;
    QElapsedTimer t;
    QList<double> open;
    Form_Editer *doc = nullptr;
    for (int i = 0; i < opens; ++i) {
        if (doc)
            closeDocument(doc);
        t.restart();
        doc = OpenDocument(main, path);
        QCoreApplication::processEvents();
        open.append(double(t.nsecsElapsed()) / 1e6);
    }
    out.open = summarise(open);
    const auto settle = [view] {
        if (view->page()->isLoading()) {
            QElapsedTimer idle;
            idle.start();
            waitForLoad(view, idle, 20000);
        }
        QCoreApplication::processEvents();
    };
    settle();
    QList<double> pass;
    for (int i = 0; i < qMax(3, runs / 5); ++i) {
        t.restart();
        main.runCommand(Cmd::m_vtag);
        pass.append(double(t.nsecsElapsed()) / 1e6);
    }
    out.pass = summarise(pass);
    RichTextBox *box = doc->RichTextBox1;
    box->setSelStart(int(box->Text().size() / 2));
    QList<double> key;
    for (int i = 0; i < runs; ++i) {
        t.restart();
        QTest::keyClick(box, Qt::Key_A);
        key.append(double(t.nsecsElapsed()) / 1e6);
    }
    out.key = summarise(key);
    QList<double> shown;
    for (int i = 0; i < qMax(3, runs / 4); ++i) {
        settle();
        t.restart();
        QTest::keyClick(box, Qt::Key_A);
        const double ms = waitForLoad(view, t, 30000);
        if (ms >= 0)
            shown.append(ms);
    }
    if (!shown.isEmpty())
        out.shown = summarise(shown);
    closeDocument(doc);
    return out;
}

// A page in one line beside the same markup in many lines of the same size.
void benchOneLine(MDI_Main &main, QWebEngineView *view, const QString &dir, const QStringList &only)
{
    const struct
    {
        const char *name;
        qsizetype bytes;
        int runs;
        int opens;
    } sizes[] = {{"100 KB", 100 * 1024, 40, 5},
                 {"1 MB", 1024 * 1024, 20, 3},
                 {"5 MB", 5 * 1024 * 1024, 8, 2}};
    // "oneline" runs every size, "1MB-line" one of them.
    const bool every = only.isEmpty() || only.contains(QStringLiteral("oneline"));
    bool header = false;
    for (const auto &size : sizes) {
        if (!every && !only.contains(QString::fromLatin1(size.name).remove(' ') + "-line"))
            continue;
        if (!std::exchange(header, true))
            std::printf("%-44s %-7s %22s %22s\n", "one line beside many (median / p99 ms)", "",
                        "many lines", "one line");
        const QString many = dir + "/many.html", one = dir + "/one.html";
        {
            QFile f(many);
            f.open(QIODevice::WriteOnly);
            f.write(makePage(size.bytes));
            QFile g(one);
            g.open(QIODevice::WriteOnly);
            g.write(makeOneLinePage(size.bytes));
        }
        const PageFigures m = measurePage(main, view, many, size.runs, size.opens);
        const PageFigures o = measurePage(main, view, one, size.runs, size.opens);
        const auto row = [&](const char *what, const Figures &a, const Figures &b) {
            // A preview that never loaded within the wait shows as a dash.
            const auto cell = [](const Figures &f) {
                if (f.median == 0 && f.p99 == 0)
                    return QByteArray("-").rightJustified(22);
                return QByteArray::number(f.median, 'f', 3).rightJustified(10) + " / " +
                       QByteArray::number(f.p99, 'f', 3).rightJustified(9);
            };
            std::printf("%-44s %-7s %s %s\n", what, size.name, cell(a).constData(),
                        cell(b).constData());
        };
        row("open, shown and coloured", m.open, o.open);
        row("full colouring pass", m.pass, o.pass);
        row("keystroke -> change, preview file, panel 2", m.key, o.key);
        row("keystroke -> preview shown again", m.shown, o.shown);
        std::fflush(stdout);
    }
}

// A page in one line pasted into an empty page: until the paste is cut into rows and handled,
// beside opening the same text as a file.
void benchPaste(MDI_Main &main, const QString &dir, const QStringList &only)
{
    const struct
    {
        const char *name;
        qsizetype bytes;
    } sizes[] = {{"250 KB", 250 * 1024}, {"1 MB", 1024 * 1024}, {"5 MB", 5 * 1024 * 1024}};
    // "paste" runs every size, "1MB-paste" one of them.
    const bool every = only.isEmpty() || only.contains(QStringLiteral("paste"));
    for (const auto &size : sizes) {
        if (!every && !only.contains(QString::fromLatin1(size.name).remove(' ') + "-paste"))
            continue;
        const QByteArray bytes = makeOneLinePage(size.bytes);
        const QString path = dir + "/paste.html";
        {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
        }
        QElapsedTimer t;
        t.start();
        Form_Editer *opened = OpenDocument(main, path);
        QCoreApplication::processEvents();
        const double open = double(t.nsecsElapsed()) / 1e6;
        closeDocument(opened);
        QApplication::clipboard()->setText(Cp932::decode(bytes));
        main.runCommand(Cmd::m_mnew);
        Form_Editer *doc = main.activeDocument();
        QCoreApplication::processEvents();
        doc->RichTextBox1->setFocus();
        t.restart();
        QTest::keyClick(doc->RichTextBox1, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::processEvents();
        const double paste = double(t.nsecsElapsed()) / 1e6;
        std::printf("%-44s %-7s %9.3f ms   (opened as a file %9.3f ms)\n",
                    "one line pasted into an empty page", size.name, paste, open);
        std::fflush(stdout);
        closeDocument(doc);
    }
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && qstrcmp(argv[1], "--startup-child") == 0)
        return startupChild(argc, argv);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    WebBrowser::registerSchemes();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    MDI_Module::TrackEdits = true;
    auto *main = new MDI_Main(dir.path(), &prompts);
    InstallAllCommands(*main);
    main->Load({});
    // The figures are those with real-time preview on.
    if (!main->isChecked(Cmd::m_vrpr))
        main->runCommand(Cmd::m_vrpr);
    // The preview engine starts once the window has been painted.
    if (!main->WebBrowser1->isEngineReady()) {
        QEventLoop up;
        QObject::connect(main->WebBrowser1, &WebBrowser::engineReady, &up, &QEventLoop::quit);
        QTimer::singleShot(30000, &up, &QEventLoop::quit);
        up.exec();
    }
    QWebEngineView *view = main->WebBrowser1->view();
    if (!view)
        return 1;

    const struct
    {
        const char *name;
        qsizetype bytes;
        int runs;
        int opens;
    } sizes[] = {{"5 KB", 5 * 1024, 200, 20},
                 {"100 KB", 100 * 1024, 100, 10},
                 {"1 MB", 1024 * 1024, 30, 5},
                 {"10 MB", 10 * 1024 * 1024, 10, 3}};
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
        // Opening: every open but the last is closed again.
        QList<double> open;
        Form_Editer *doc = nullptr;
        for (int i = 0; i < size.opens; ++i) {
            if (doc) {
                doc->setCloseAgreed(true);
                doc->parentWidget()->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            t.restart();
            doc = OpenDocument(*main, path);
            QCoreApplication::processEvents();
            open.append(double(t.nsecsElapsed()) / 1e6);
        }
        print("open, shown and coloured", size.name, summarise(open));

        // The pass is measured with the preview at rest: the page just opened may still be
        // loading, and the pass's one round of messages would otherwise carry its work.
        if (view->page()->isLoading()) {
            QElapsedTimer idle;
            idle.start();
            waitForLoad(view, idle, 20000);
        }
        QCoreApplication::processEvents();
        QList<double> pass;
        for (int i = 0; i < qMax(3, size.runs / 5); ++i) {
            t.restart();
            main->runCommand(Cmd::m_vtag);
            pass.append(double(t.nsecsElapsed()) / 1e6);
        }
        print("full colouring pass", size.name, summarise(pass));
        // The pass runs in one go: its longest run is the longest stall of the window.
        printWorst("full colouring pass (longest stall)", size.name, pass);

        // The phone check against the safe floor, where every block of the page has findings:
        // the check alone, and the pane's whole run (the text, its bytes as saved, the list).
        {
            const QString text = doc->RichTextBox1->Text();
            const qint64 bytes = doc->RichTextBox1->fileBytes().size();
            const PhoneCheck::Target &floor = PhoneCheck::Tables::program().targets.first();
            QList<double> check, pane;
            qsizetype found = 0;
            for (int i = 0; i < qMax(3, size.runs / 5); ++i) {
                t.restart();
                found = PhoneCheck::check(text, bytes, floor).size();
                check.append(double(t.nsecsElapsed()) / 1e6);
            }
            const QByteArray what = "phone check, " + QByteArray::number(found) + " findings";
            print(what.constData(), size.name, summarise(check));
            main->phoneCheck()->chooseTarget(floor.generation);
            main->phoneCheck()->show();
            for (int i = 0; i < qMax(3, size.runs / 5); ++i) {
                t.restart();
                main->phoneCheck()->checkNow();
                pane.append(double(t.nsecsElapsed()) / 1e6);
            }
            print("phone check pane, whole run", size.name, summarise(pane));
        }

        QList<double> key;
        int loads = 0;
        const QMetaObject::Connection counting =
            QObject::connect(view, &QWebEngineView::loadFinished, [&loads] { ++loads; });
        doc->RichTextBox1->setSelStart(int(doc->RichTextBox1->Text().size() / 2));
        for (int i = 0; i < size.runs; ++i) {
            t.restart();
            QTest::keyClick(doc->RichTextBox1, Qt::Key_A);
            key.append(double(t.nsecsElapsed()) / 1e6);
        }
        print("keystroke -> change, preview file, panel 2", size.name, summarise(key));
        main->phoneCheck()->hide();
        // The keys came faster than the page loads: the preview loads at most once more than
        // it was loading when they began.
        for (int quiet = 0; quiet < 2;) {
            QElapsedTimer idle;
            idle.start();
            if (view->page()->isLoading() && waitForLoad(view, idle, 60000) >= 0)
                quiet = 0;
            else
                ++quiet;
            QTest::qWait(50);
        }
        QObject::disconnect(counting);
        std::printf("%-44s %-7s %d loads for %lld keystrokes\n", "keystrokes in a row -> preview loads",
                    size.name, loads, qlonglong(size.runs));
        std::fflush(stdout);

        // Typing with the phone check pane shown: its check waits for the keys to rest.
        {
            main->phoneCheck()->show();
            QList<double> shownKey;
            for (int i = 0; i < size.runs; ++i) {
                t.restart();
                QTest::keyClick(doc->RichTextBox1, Qt::Key_A);
                shownKey.append(double(t.nsecsElapsed()) / 1e6);
            }
            print("keystroke, phone check pane shown", size.name, summarise(shownKey));
            main->phoneCheck()->hide();
        }

        // The same with the recovery journal being written: each keystroke lands while the
        // worker encodes and writes the snapshot the one before it left, as when typing resumes
        // after a quiet moment. The snapshot is the journal's only work on the window's thread.
        {
            QList<double> journaled, snapshot, written;
            QElapsedTimer w;
            for (int i = 0; i < size.runs; ++i) {
                t.restart();
                QTest::keyClick(doc->RichTextBox1, Qt::Key_A);
                journaled.append(double(t.nsecsElapsed()) / 1e6);
                if (i % 2 == 0) {
                    main->recoveryJournal()->waitForIdle();
                    t.restart();
                    doc->updateJournal();
                    snapshot.append(double(t.nsecsElapsed()) / 1e6);
                    w.start();
                } else {
                    main->recoveryJournal()->waitForIdle();
                    written.append(double(w.nsecsElapsed()) / 1e6);
                }
            }
            print("keystroke, journal being written", size.name, summarise(journaled));
            print("journal snapshot (window's thread)", size.name, summarise(snapshot));
            print("journal encoded + written (worker)", size.name, summarise(written));
        }

        // Until the browser shows the page again; each keystroke waits for the last load.
        if (size.bytes <= 100 * 1024) {
            QList<double> shown;
            for (int i = 0; i < size.runs / 4; ++i) {
                if (view->page()->isLoading()) {
                    QElapsedTimer idle;
                    idle.start();
                    waitForLoad(view, idle, 5000);
                }
                QCoreApplication::processEvents();
                t.restart();
                QTest::keyClick(doc->RichTextBox1, Qt::Key_A);
                const double ms = waitForLoad(view, t);
                if (ms >= 0)
                    shown.append(ms);
            }
            if (!shown.isEmpty())
                print("keystroke -> preview shown again", size.name, summarise(shown));
        }
        // Replace all through the find bar: every <div and </div> of the page (two in each
        // block, some 11,000 in 1 MB) and back again, one undoable step each time.
        QList<double> replace;
        int replaced = 0;
        FindBar &bar = FindBar::of(*main, *doc);
        bar.open(true);
        for (int i = 0; i < qMax(4, size.runs / 5); ++i) {
            bar.findField->setText(i % 2 ? QStringLiteral("span") : QStringLiteral("div"));
            bar.replaceField->setText(i % 2 ? QStringLiteral("div") : QStringLiteral("span"));
            t.restart();
            replaced = bar.replaceAll();
            replace.append(double(t.nsecsElapsed()) / 1e6);
        }
        bar.closeBar();
        const QByteArray what = "replace all, " + QByteArray::number(replaced) + " matches";
        print(what.constData(), size.name, summarise(replace));


        // The same on a page whose characters keep other byte forms than Windows writes.
        {
            const QString twins = dir.path() + "/twins.html";
            QFile f(twins);
            f.open(QIODevice::WriteOnly);
            f.write(makeTwinPage(size.bytes));
            f.close();
            Form_Editer *other = OpenDocument(*main, twins);
            QCoreApplication::processEvents();
            QList<double> formKey;
            other->RichTextBox1->setSelStart(int(other->RichTextBox1->Text().size() / 2));
            for (int i = 0; i < size.runs; ++i) {
                t.restart();
                QTest::keyClick(other->RichTextBox1, Qt::Key_A);
                formKey.append(double(t.nsecsElapsed()) / 1e6);
            }
            print("keystroke, page keeping byte forms", size.name, summarise(formKey));
            other->setCloseAgreed(true);
            other->parentWidget()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        doc->setCloseAgreed(true);
        doc->parentWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Memory for each further open page: what the heap and the resident set grow by with every
    // page opened beside those already open.
    for (const auto &size : sizes) {
        if (size.bytes > 1024 * 1024)
            continue;
        if (!only.isEmpty() && !only.contains(QString::fromLatin1(size.name).remove(' ')))
            continue;
        const QString path = dir.path() + "/memory.html";
        {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(makePage(size.bytes));
        }
        // A first page, so that what every page shares is already there.
        OpenDocument(*main, path);
        QCoreApplication::processEvents();
        QList<double> heap, rss;
        const int pages = size.bytes > 100 * 1024 ? 6 : 12;
        for (int i = 0; i < pages; ++i) {
            QCoreApplication::processEvents();
            malloc_trim(0);
            const Memory before = memoryNow();
            OpenDocument(*main, path);
            QCoreApplication::processEvents();
            malloc_trim(0);
            const Memory after = memoryNow();
            heap << after.heapKb - before.heapKb;
            rss << after.rssKb - before.rssKb;
        }
        const Figures h = summarise(heap), r = summarise(rss);
        std::printf("%-44s %-7s median %9.1f KB   p99 %9.1f KB\n",
                    "memory per further open page, heap", size.name, h.median, h.p99);
        std::printf("%-44s %-7s median %9.1f KB   p99 %9.1f KB\n",
                    "memory per further open page, resident", size.name, r.median, r.p99);
        std::fflush(stdout);
        for (Form_Editer *d : main->documents()) {
            d->setCloseAgreed(true);
            d->parentWidget()->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    benchOneLine(*main, view, dir.path(), only);
    benchPaste(*main, dir.path(), only);
    delete main;

    if (only.isEmpty() || only.contains(QStringLiteral("startup")))
        benchStartup(10);
    return 0;
}

#pragma once

#include "documents/DocumentCommands.h"
#include "MainWindowFixture.h"

#include "app/MDI_Main.h"
#include "app/WindowArrangement.h"
#include "documents/Form_Editer.h"
#include "widgets/RichTextBox.h"

#include <QFile>
#include <QMdiSubWindow>
#include <QTest>

namespace doctest {

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The caption the user sees: that of the document's frame.
inline QString caption(Form_Editer *doc)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget());
    return sub ? sub->windowTitle() : QString();
}

// One message as the tests expect it shown.
struct Msg
{
    QString text;
    Prompt::Buttons buttons;
    Prompt::Icon icon;
    QString title;
};

inline void compareMessages(const ScriptedPrompts &prompts, const QList<Msg> &expected)
{
    const QList<MessageRequest> shown = prompts.messages();
    QStringList shownTexts;
    for (const MessageRequest &m : shown)
        shownTexts << m.title + " | " + m.text;
    QVERIFY2(shown.size() == expected.size(), qPrintable(shownTexts.join("\n")));
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(shown.at(i).text, expected.at(i).text);
        QCOMPARE(shown.at(i).title, expected.at(i).title);
        QVERIFY(shown.at(i).buttons == expected.at(i).buttons);
        QVERIFY(shown.at(i).icon == expected.at(i).icon);
    }
}

// Closes every document window without questions, so the next test starts with none.
inline void closeAllQuietly(MDI_Main &main)
{
    for (Form_Editer *doc : main.documents())
        doc->setCloseAgreed(true);
    CloseAllDocuments(main);
}

// The user types text into the document, key by key.
inline void type(Form_Editer *doc, const QString &text)
{
    doc->RichTextBox1->setFocus();
    QTest::keyClicks(doc->RichTextBox1, text);
}

inline const QString crlf = QStringLiteral("\r\n\r\n");

} // namespace doctest

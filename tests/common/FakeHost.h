#pragma once

#include "ScriptedPrompts.h"
#include "documents/DocumentHost.h"
#include "platform/CommonDialog.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class QMdiArea;
class QWidget;

// A host for documents and tools without the main window and its browser: document windows
// live in a plain workspace, commands are whatever handlers the subsystems register, check
// marks are set by the test, and the preview is only counted.
class FakeHost : public DocumentHost
{
public:
    FakeHost();
    ~FakeHost() override;

    Form_Editer *activeDocument() const override;
    QList<Form_Editer *> documents() const override;
    Prompts *prompts() const override { return &script; }
    QString programFolder() const override { return m_folder.path(); }
    CommonDialog &fileDialog() override { return m_dialog; }
    QWidget *dialogParent() const override { return m_window.get(); }
    void addDocumentWindow(Form_Editer *doc) override;
    void documentActivated(Form_Editer &) override { events << QStringLiteral("activated"); }
    void documentUnloaded(Form_Editer &) override { events << QStringLiteral("unloaded"); }
    QString sizeText() const override { return size; }
    void refreshPreview() override { ++previews; }
    bool isChecked(Command item) const override { return checked.contains(item.toString()); }
    void runCommand(Command item) override;
    void setHandler(Command item, std::function<void()> handler) override;
    void showStatus(const QString &text) override { statuses << text; }
    void pageUsed(const QString &path) override { used << path; }
    void setBusyPointer() override { ++busy; }
    void restorePointer() override { --busy; }

    void setChecked(Command item, bool on);
    QString path(const QString &name) const { return m_folder.path() + QLatin1Char('/') + name; }
    // A page written into the program folder, opened as the active document.
    Form_Editer *openPage(const QString &name, const QByteArray &bytes);
    // Closes every document window without questions.
    void closeAll();

    mutable ScriptedPrompts script;
    QSet<QString> checked;
    QString size = QStringLiteral("0 KB");
    int previews = 0;
    int busy = 0;
    QStringList events;
    QStringList ran; // the commands run, in order
    QStringList statuses; // the status-bar notices, in order
    QStringList used;     // the recent pages reported, in order

private:
    QTemporaryDir m_folder;
    CommonDialog m_dialog;
    std::unique_ptr<QWidget> m_window;
    QMdiArea *m_area = nullptr;
    QHash<QString, std::function<void()>> m_handlers;
};

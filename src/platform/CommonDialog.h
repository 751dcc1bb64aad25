#pragma once

#include "platform/Prompts.h"

#include <QString>
#include <QStringList>

// The shared file dialog of a window. Its settings carry over between uses: a command sets
// what it needs and finds the rest as the last use left it. Showing it and cancelling
// throws ZError(DialogCancelled), the failure of the dialog step.
class CommonDialog
{
public:
    static constexpr int OverwritePrompt = 2;

    explicit CommonDialog(Prompts *prompts = nullptr) : m_prompts(prompts) {}
    void setPrompts(Prompts *prompts) { m_prompts = prompts; }

    QString Filter;     // "desc|pattern;pattern|desc|pattern..."
    int FilterIndex = 1; // 1-based, as the filter's entries are counted
    int Flags = 0;
    QString FileName;
    QString InitDir;
    QString DefaultExt; // with or without a leading dot
    QString DialogTitle;

    void ShowOpen();
    void ShowSave();

    // "HTML,HTM|*.html;*.htm|*.*|*.*" -> {"HTML,HTM (*.html *.htm)", "*.* (*)"}
    static QStringList qtFilters(const QString &filter);

private:
    void show(FileDialogKind kind);
    Prompts *m_prompts;
};

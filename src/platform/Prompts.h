#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Message boxes, input boxes and file dialogs behind one interface, so that windows ask
// their questions through it and tests answer them from a script.
namespace Prompt {
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Answer { Ok, Cancel, Yes, No };
} // namespace Prompt

struct MessageRequest
{
    QString text;
    Prompt::Buttons buttons = Prompt::Buttons::Ok;
    Prompt::Icon icon = Prompt::Icon::Information;
    QString title;
    std::optional<Prompt::Answer> defaultButton; // the first button when unset
    // Captions of the buttons in their order ("復元", "破棄", ...); empty, the usual ones.
    QStringList buttonTexts = {};
    // Lines shown under the text in a box of their own, which scrolls when they are many, and
    // the text under that box: the question keeps a size that fits the screen.
    QStringList list = {};
    QString afterList = {};
};

struct InputRequest
{
    QString prompt;
    QString title;
    QString defaultText;
};

enum class FileDialogKind { Open, Save, Folder };

struct FileDialogRequest
{
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    QStringList nameFilters; // Qt form: "HTML,HTM (*.html *.htm)"
    int selectedFilter = 0;
    QString initialFolder;
    QString fileName; // initial file name, maybe with a folder
    QString defaultSuffix; // without the dot
    bool overwritePrompt = false;
};

class Prompts
{
public:
    virtual ~Prompts() = default;
    virtual Prompt::Answer message(const MessageRequest &request) = 0;
    // An input box: the typed text, or an empty text when cancelled.
    virtual QString input(const InputRequest &request) = 0;
    // A file dialog: the chosen full path, or nothing when cancelled.
    virtual std::optional<QString> file(const FileDialogRequest &request) = 0;

    // Shorthand for the common message box.
    Prompt::Answer message(const QString &text, Prompt::Buttons buttons, Prompt::Icon icon,
                           const QString &title)
    {
        return message(MessageRequest{text, buttons, icon, title, std::nullopt});
    }
};

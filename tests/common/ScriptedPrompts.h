#pragma once

#include "platform/Prompts.h"

#include <QList>
#include <QQueue>
#include <functional>
#include <variant>

// Answers prompts from a queue and records every prompt shown, for tests and for
// scripted runs. An empty queue answers a message with its default (first) button,
// an input box with an empty text and a file dialog with a cancel.
class ScriptedPrompts : public Prompts
{
public:
    struct Shown
    {
        enum Kind { Message, Input, File } kind;
        MessageRequest message;
        InputRequest input;
        FileDialogRequest file;
    };

    void answer(Prompt::Answer a) { m_answers.enqueue(a); }
    void answerInput(const QString &text) { m_inputs.enqueue(text); }
    void answerFile(const std::optional<QString> &path) { m_files.enqueue(path); }

    using Prompts::message;
    Prompt::Answer message(const MessageRequest &request) override;
    QString input(const InputRequest &request) override;
    std::optional<QString> file(const FileDialogRequest &request) override;

    const QList<Shown> &shown() const { return m_shown; }
    // The messages shown, in order.
    QList<MessageRequest> messages() const;
    int count() const { return m_shown.size(); }
    void clear();
    // Runs while each prompt is up, as the user's dialog would (it takes the keyboard and,
    // when it closes, hands it to its owner).
    std::function<void()> whileShown;

    bool pendingAnswers() const
    {
        return !m_answers.isEmpty() || !m_inputs.isEmpty() || !m_files.isEmpty();
    }

private:
    QQueue<Prompt::Answer> m_answers;
    QQueue<QString> m_inputs;
    QQueue<std::optional<QString>> m_files;
    QList<Shown> m_shown;
};

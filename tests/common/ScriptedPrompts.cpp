#include "ScriptedPrompts.h"

namespace {
Prompt::Answer firstButton(Prompt::Buttons buttons)
{
    switch (buttons) {
    case Prompt::Buttons::Ok:
    case Prompt::Buttons::OkCancel:
        return Prompt::Answer::Ok;
    case Prompt::Buttons::YesNo:
    case Prompt::Buttons::YesNoCancel:
        return Prompt::Answer::Yes;
    }
    return Prompt::Answer::Ok;
}
} // namespace

Prompt::Answer ScriptedPrompts::message(const MessageRequest &request)
{
    m_shown.append(Shown{Shown::Message, request, {}, {}});
    if (whileShown)
        whileShown();
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return request.defaultButton.value_or(firstButton(request.buttons));
}

QString ScriptedPrompts::input(const InputRequest &request)
{
    m_shown.append(Shown{Shown::Input, {}, request, {}});
    if (whileShown)
        whileShown();
    return m_inputs.isEmpty() ? QString() : m_inputs.dequeue();
}

std::optional<QString> ScriptedPrompts::file(const FileDialogRequest &request)
{
    m_shown.append(Shown{Shown::File, {}, {}, request});
    if (whileShown)
        whileShown();
    return m_files.isEmpty() ? std::nullopt : m_files.dequeue();
}

QList<MessageRequest> ScriptedPrompts::messages() const
{
    QList<MessageRequest> out;
    for (const auto &s : m_shown)
        if (s.kind == Shown::Message)
            out.append(s.message);
    return out;
}

void ScriptedPrompts::clear()
{
    m_answers.clear();
    m_inputs.clear();
    m_files.clear();
    m_shown.clear();
    whileShown = nullptr;
}

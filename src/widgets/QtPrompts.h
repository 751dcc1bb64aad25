#pragma once

#include "platform/Prompts.h"

class QWidget;

// The real dialogs, owned by a parent window.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    using Prompts::message;
    Prompt::Answer message(const MessageRequest &request) override;
    QString input(const InputRequest &request) override;
    std::optional<QString> file(const FileDialogRequest &request) override;

private:
    QWidget *m_parent;
};

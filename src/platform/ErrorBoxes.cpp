#include "platform/ErrorBoxes.h"

#include "platform/Prompts.h"

void ShowSaveError(Prompts &prompts, const ZErrorInfo &error)
{
    prompts.message(QStringLiteral("Error %1\r\n\r\n%2").arg(error.number).arg(error.description),
                    Prompt::Buttons::Ok, Prompt::Icon::Information, QStringLiteral("Error"));
}

void ShowReadError(Prompts &prompts, const ZErrorInfo &error)
{
    prompts.message(QStringLiteral("Zuvo: %1\r\n\r\n%2").arg(error.number).arg(error.description),
                    Prompt::Buttons::Ok, Prompt::Icon::Exclamation, ZError::describe(error.number));
}

void ShowReadError(Prompts &prompts, ZErrorInfo error, const QString &path)
{
    if (!error.description.contains(path))
        error.description += QStringLiteral("\r\n") + path;
    ShowReadError(prompts, error);
}

#pragma once

#include "platform/ZError.h"

class Prompts;

// The program's two error-box layouts for a failed platform step.
// "Error <number>", an empty line and the description, titled "Error": saving.
void ShowSaveError(Prompts &prompts, const ZErrorInfo &error);
// "Zuvo: <number>", an empty line and the description, titled with the number's own message:
// reading a template or the tag library.
void ShowReadError(Prompts &prompts, const ZErrorInfo &error);
// The same, naming the file read below the description, unless the description already does.
void ShowReadError(Prompts &prompts, ZErrorInfo error, const QString &path);

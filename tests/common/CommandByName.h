#pragma once

#include "documents/CommandName.h"

#include <QtGlobal>

// The command a test's data row names; rows name commands as text so that they read like the
// menu. An unknown name stops the test program at once.
inline Command commandNamed(const QString &name)
{
    for (const Command &c : Cmd::all)
        if (c.toString() == name)
            return c;
    qFatal("no command is named %s", qPrintable(name));
}

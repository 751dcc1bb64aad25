#pragma once

#include <QString>

// Detects a copy of the program already running from the same program folder. The lock is a
// lock on a file in the program folder, the folder whose settings and preview files a second
// copy would write over, whatever name the folder is reached by. The system drops it with the
// process that held it, so a copy that was killed locks nobody out, whoever it ran as; what
// the file holds does not matter.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &programFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // False when another copy holds the lock, or when something at the lock's path cannot be
    // locked (a FIFO, a link, a file nobody may read; a folder is locked as a file is). True
    // otherwise: this copy then holds it until destroyed, or, where nothing is there and no
    // lock can be made (a program folder nobody may write), runs without one.
    bool acquire();
    // True after acquire() found something at the lock's path that cannot be locked.
    bool unusable() const { return m_unusable; }
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
    bool m_unusable = false;
};

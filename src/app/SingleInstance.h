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

    // False only when another copy holds the lock. True otherwise: this copy then holds it
    // until destroyed, or, where no lock can be made (a program folder nobody may write),
    // runs without one.
    bool acquire();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
};

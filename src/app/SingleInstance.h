#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Detects a copy of the program already running from the same program folder.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &programFolder);
    // True when this copy is the only one; it then holds the lock until destroyed.
    bool acquire();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

#pragma once

#include "ScriptedPrompts.h"
#include "platform/ZError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A work folder for one test function, made the current folder so that relative paths
// resolve into it: a.txt "A", b.txt "B", c.htm "C", a read-only ro.txt "R" and an empty
// folder sub.
class FsoWorkFolder
{
public:
    FsoWorkFolder() : m_previous(QDir::currentPath())
    {
        m_root = QDir(m_dir.path()).canonicalPath() + QStringLiteral("/pages");
        QDir().mkpath(at("sub"));
        QDir::setCurrent(m_root);
        write(at("a.txt"), "A");
        write(at("b.txt"), "B");
        write(at("c.htm"), "C");
        write(at("ro.txt"), "R");
        makeReadOnly(at("ro.txt"));
    }
    ~FsoWorkFolder()
    {
        QDir::setCurrent(m_previous);
        QFile::setPermissions(at("ro.txt"), QFile::ReadOwner | QFile::WriteOwner);
    }

    bool isValid() const { return m_dir.isValid() && QDir::currentPath() == m_root; }
    const QString &root() const { return m_root; }
    QString at(const QString &relative) const { return m_root + u'/' + relative; }

    static bool write(const QString &path, const QByteArray &content)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static bool makeReadOnly(const QString &path)
    {
        return QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }

    // Every item below the work folder with its content, for "nothing changed" checks.
    QStringList snapshot() const
    {
        QStringList all;
        QDirIterator it(m_root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            all << path + u'=' + QString::fromLatin1(read(path));
        }
        all.sort();
        return all;
    }

private:
    QTemporaryDir m_dir;
    QString m_root;
    QString m_previous;
};

inline const QString FsoCrlf = QStringLiteral("\r\n");

inline QString fsoErrorText(int number)
{
    return QStringLiteral("ErrorCode : ") + QString::number(number) + FsoCrlf + FsoCrlf +
           ZError::describe(number);
}

// The prompts shown were exactly the error box of `number`, or nothing for 0.
inline void expectOnlyError(const ScriptedPrompts &prompts, int number)
{
    if (number == 0) {
        QCOMPARE(prompts.count(), 0);
        return;
    }
    QCOMPARE(prompts.count(), 1);
    const MessageRequest m = prompts.messages().constFirst();
    QCOMPARE(m.text, fsoErrorText(number));
    QCOMPARE(m.title, QStringLiteral("Error"));
    QCOMPARE(m.icon, Prompt::Icon::Exclamation);
    QCOMPARE(m.buttons, Prompt::Buttons::Ok);
}

#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;
namespace PageMessage {
class Reader;
}

// The running copy's door for pages named by a later start from the same program folder: a
// local socket in a folder of the user's alone, named after the program folder, so that other
// users' starts and other folders' copies never reach it; each end checks that the other runs
// as the same user.
//
// The exchange: the running copy greets each caller; the caller then sends its paths, UTF-8,
// each ended by a NUL, and an empty one last.
class PageReceiver : public QObject
{
    Q_OBJECT
public:
    explicit PageReceiver(const QString &programFolder, QObject *parent = nullptr);
    ~PageReceiver() override;

    // Starts listening. A socket left by a copy that died is replaced; one that a live copy
    // answers on is kept. False when no socket can be made.
    bool listen();

Q_SIGNALS:
    // A later start's pages, absolute paths, in the order it named them.
    void pagesHanded(const QStringList &paths);

private:
    void accept();
    void read(QLocalSocket *socket, PageMessage::Reader &reader);

    QString m_name;
    QLocalServer *m_server = nullptr;
};

// The socket name for the copy running from programFolder, whatever name the folder is reached
// by: in the user's runtime folder, or else in a folder of the user's own made in the
// temporary folder. Empty when no folder is the user's alone.
QString RunningCopySocketName(const QString &programFolder);

// A later start's side: hands paths (made absolute against the working folder) to the copy
// running from programFolder. False when no copy of this user's answers within a second: none
// is listening, or it is hung, or another user's program listens; nothing is then sent.
bool HandOverPages(const QString &programFolder, const QStringList &paths);

#include "fsservice/ClsFSO.h"

#include "fsservice/FsoDrive.h"
#include "fsservice/FsoInfoText.h"
#include "fsservice/FsoOps.h"
#include "platform/Prompts.h"
#include "platform/StepRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace {

const QString Crlf = QStringLiteral("\r\n");

QString typeDescription(const QFileInfo &info)
{
    // The preview asks for its file's information on every keystroke, and a lookup in the
    // system's type database costs more than the rest of the keystroke. A name that only one
    // type claims is typed by its name alone, so its description is kept; a name several types
    // claim, or none, is typed by content each time. (Folders are typed by kind, never cached.)
    static QHash<QString, QString> byName;
    const QMimeDatabase types;
    if (!info.isFile())
        return types.mimeTypeForFile(info).comment();
    const QString name = info.fileName();
    if (const auto known = byName.constFind(name); known != byName.constEnd())
        return *known;
    const QString comment = types.mimeTypeForFile(info).comment();
    if (types.mimeTypesForFileName(name).size() == 1 && byName.size() < 256)
        byName.insert(name, comment);
    return comment;
}

// The bytes of a folder's files, sub-folders included, staying on the folder's own volume
// so that a folder holding a mount point is not charged with the other volume.
qint64 contentSize(const QString &folder)
{
    namespace fs = std::filesystem;
    struct stat top = {};
    if (::stat(QFile::encodeName(folder).constData(), &top) != 0)
        return 0;
    qint64 total = 0;
    std::error_code ec;
    for (auto it =
             fs::recursive_directory_iterator(QFile::encodeName(folder).toStdString(),
                                              fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        struct stat st = {};
        if (::lstat(it->path().c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode) && st.st_dev != top.st_dev)
            it.disable_recursion_pending();
        else if (S_ISREG(st.st_mode))
            total += st.st_size;
    }
    return total;
}

} // namespace

ClsFSO::ClsFSO(Prompts *prompts) : m_prompts(prompts) {}

// ---- drives ---------------------------------------------------------------------------

bool ClsFSO::fsoDriveExists(const QString &strDrive)
{
    StepRunner steps;
    bool exists = false;
    steps.run([&] { exists = fso::driveOf(strDrive).has_value(); });
    fsoShowError(steps);
    return exists;
}

QList<QStorageInfo> ClsFSO::fsoDrives()
{
    StepRunner steps;
    QList<QStorageInfo> drives;
    steps.run([&] { drives = fso::allDrives(); });
    fsoShowError(steps);
    return drives;
}

void ClsFSO::fsoVolumeName(QString &strDrive, const QString &strVolume)
{
    Q_UNUSED(strVolume);
    StepRunner steps;
    if (strDrive.isEmpty())
        strDrive = QStringLiteral("/");
    std::optional<QStorageInfo> drive;
    steps.run([&] {
        drive = fso::driveOf(strDrive);
        if (!drive)
            throw ZError::fromErrno(ENODEV);
    });
    // Without a confirmation the change is attempted directly, as the other actions are.
    bool proceed = !ShowDialog;
    if (ShowDialog) {
        steps.run([&] {
            proceed = confirm(strDrive + QStringLiteral("ドライブのボリュームラベルを変更します。"),
                              QStringLiteral("確認"));
        });
    }
    // Volume labels belong to the system's own tools here; say so rather than pretend.
    if (proceed && drive)
        steps.run([] { throw ZError(ZErr::InvalidCall); });
    fsoShowError(steps);
}

void ClsFSO::InfoDrive(const QString &strDrive)
{
    static_cast<FsoDriveFields &>(*this) = FsoDriveFields{};
    if (const std::optional<QStorageInfo> drive = fso::driveOf(strDrive)) {
        drvIsReady = drive->isValid() && drive->isReady();
        if (drvIsReady) {
            drvTotalSize = qMax<qint64>(drive->bytesTotal(), 0) / 1024.0;
            drvFreeSpace = qMax<qint64>(drive->bytesFree(), 0) / 1024.0;
        }
        drvDriveLetter = drive->rootPath();
        drvDriveType = fso::driveTypeOf(*drive);
        drvSerialNumber = fso::serialNumberOf(*drive);
        drvFileSystem = QString::fromLatin1(drive->fileSystemType());
        drvVolumeName = drive->name();
        if (fso::isNetworkFileSystem(drive->fileSystemType()))
            drvShareName = QString::fromLocal8Bit(drive->device());
        drvRootFolder = drive->rootPath();
    }
    drvDriveTypeName = fso::driveTypeName(drvDriveType);
    if (ShowDialog)
        showInformation(fso::driveInfoText(*this), QStringLiteral("ﾄﾞﾗｲﾌﾞ 情報"));
}

// ---- files ----------------------------------------------------------------------------

std::optional<QFileInfoList> ClsFSO::fsoFiles(const QString &strPath)
{
    StepRunner steps;
    std::optional<QFileInfoList> files;
    steps.run([&] {
        if (strPath.isEmpty() || !QFileInfo(strPath).isDir())
            throw ZError(ZErr::PathNotFound);
        files = QDir(strPath).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    });
    fsoShowError(steps);
    return files;
}

void ClsFSO::fsoFileReName(const QString &strFile, const QString &strReName)
{
    runAction(
        [&] {
            return fso::absolutePath(strFile) + Crlf + Crlf +
                   QStringLiteral("上記のファイル名を ") + strReName +
                   QStringLiteral(" へ変更します。");
        },
        QStringLiteral("名前の変更"), [&] { fso::renameItem(strFile, strReName, false); });
}

void ClsFSO::fsoFileDelete(const QString &strFile, bool booForce)
{
    runAction(
        [&] {
            return fso::absolutePath(strFile) + Crlf + Crlf +
                   QStringLiteral("上記のファイルを削除します。");
        },
        QStringLiteral("ﾌｧｲﾙの削除"),
        [&] { fso::deleteFiles(fso::absolutePath(strFile), booForce); });
}

void ClsFSO::fsoFileMove(const QString &strFile, const QString &strFolder)
{
    runAction(
        [&] {
            return QStringLiteral("移動元：") + fso::absolutePath(strFile) + Crlf +
                   QStringLiteral("移動先：") + fso::absolutePath(strFolder) + Crlf + Crlf +
                   QStringLiteral("ファイルを移動します。");
        },
        QStringLiteral("ﾌｧｲﾙの移動"),
        [&] { fso::moveFiles(fso::absolutePath(strFile), fso::absolutePath(strFolder)); });
}

void ClsFSO::fsoFileCopy(const QString &strFile, const QString &strFolder, bool booOver)
{
    runAction(
        [&] {
            return QStringLiteral("コピー元：") + fso::absolutePath(strFile) + Crlf +
                   QStringLiteral("コピー先：") + fso::absolutePath(strFolder) + Crlf + Crlf +
                   QStringLiteral("ファイルをコピーします。");
        },
        QStringLiteral("ﾌｧｲﾙのｺﾋﾟｰ"),
        [&] { fso::copyFiles(fso::absolutePath(strFile), fso::absolutePath(strFolder), booOver); });
}

bool ClsFSO::fsoFileExists(const QString &strFile)
{
    StepRunner steps;
    bool exists = false;
    if (!strFile.isEmpty())
        steps.run([&] { exists = QFileInfo(fso::absolutePath(strFile)).isFile(); });
    fsoShowError(steps);
    return exists;
}

void ClsFSO::InfoFile(const QString &strFile)
{
    static_cast<FsoFileFields &>(*this) = FsoFileFields{};
    const QFileInfo info(strFile);
    if (!strFile.isEmpty() && info.isFile()) {
        // Times first: telling the type may read the file and so touch its access time.
        filCreated = fso::dateText(info.birthTime());
        filLastAccessed = fso::dateText(info.lastRead());
        filLastModified = fso::dateText(info.lastModified());
        filName = info.fileName();
        filPath = QDir::cleanPath(info.absoluteFilePath());
        filParentFolder = QFileInfo(filPath).path();
        filSize = info.size() / 1024.0;
        filType = typeDescription(info);
    }
    if (ShowDialog)
        showInformation(fso::fileInfoText(*this), QStringLiteral("ﾌｧｲﾙ 情報"));
}

// ---- folders --------------------------------------------------------------------------

std::optional<QFileInfoList> ClsFSO::fsoFolders(const QString &strPath)
{
    StepRunner steps;
    std::optional<QFileInfoList> folders;
    steps.run([&] {
        if (strPath.isEmpty() || !QFileInfo(strPath).isDir())
            throw ZError(ZErr::PathNotFound);
        folders = QDir(strPath).entryInfoList(
            QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    });
    fsoShowError(steps);
    return folders;
}

void ClsFSO::fsoFolderReName(const QString &strFolder, const QString &strReName)
{
    runAction(
        [&] {
            return fso::absolutePath(strFolder) + Crlf + Crlf +
                   QStringLiteral("上記のフォルダ名を ") + strReName +
                   QStringLiteral(" へ変更します。");
        },
        QStringLiteral("名前の変更"), [&] { fso::renameItem(strFolder, strReName, true); });
}

void ClsFSO::fsoFolderDelete(const QString &strFolder, bool booForce)
{
    runAction(
        [&] {
            return fso::absolutePath(strFolder) + Crlf + Crlf +
                   QStringLiteral("上記のフォルダを削除します。");
        },
        QStringLiteral("ﾌｫﾙﾀﾞの削除"),
        [&] { fso::deleteFolders(fso::absolutePath(strFolder), booForce); });
}

void ClsFSO::fsoFolderCreate(const QString &strFolder)
{
    runAction(
        [&] {
            return fso::absolutePath(strFolder) + Crlf + Crlf +
                   QStringLiteral("上記のフォルダを作成します。");
        },
        QStringLiteral("ﾌｫﾙﾀﾞの作成"), [&] { fso::createFolder(fso::absolutePath(strFolder)); });
}

void ClsFSO::fsoFolderMove(const QString &strFolderS, const QString &strFolderD)
{
    runAction(
        [&] {
            return QStringLiteral("移動元：") + fso::absolutePath(strFolderS) + Crlf +
                   QStringLiteral("移動先：") + fso::absolutePath(strFolderD) + Crlf + Crlf +
                   QStringLiteral("フォルダを移動します。");
        },
        QStringLiteral("ﾌｫﾙﾀﾞの移動"),
        [&] { fso::moveFolders(fso::absolutePath(strFolderS), fso::absolutePath(strFolderD)); });
}

void ClsFSO::fsoFolderCopy(const QString &strFolderS, const QString &strFolderD, bool booOver)
{
    runAction(
        [&] {
            return QStringLiteral("コピー元：") + fso::absolutePath(strFolderS) + Crlf +
                   QStringLiteral("コピー先：") + fso::absolutePath(strFolderD) + Crlf + Crlf +
                   QStringLiteral("フォルダをコピーします。");
        },
        QStringLiteral("ﾌｫﾙﾀﾞのｺﾋﾟｰ"),
        [&] {
            fso::copyFolders(fso::absolutePath(strFolderS), fso::absolutePath(strFolderD), booOver);
        });
}

bool ClsFSO::fsoFolderExists(const QString &strFolder)
{
    StepRunner steps;
    bool exists = false;
    if (!strFolder.isEmpty())
        steps.run([&] { exists = QFileInfo(fso::absolutePath(strFolder)).isDir(); });
    fsoShowError(steps);
    return exists;
}

void ClsFSO::InfoFolder(const QString &strFolder)
{
    static_cast<FsoFolderFields &>(*this) = FsoFolderFields{};
    const QFileInfo info(strFolder);
    if (!strFolder.isEmpty() && info.isDir()) {
        fldPath = QDir::cleanPath(info.absoluteFilePath());
        const QFileInfo folder(fldPath);
        // Times first: listing the folder below may touch its access time.
        fldCreated = fso::dateText(folder.birthTime());
        fldLastAccessed = fso::dateText(folder.lastRead());
        fldLastModified = fso::dateText(folder.lastModified());
        fldName = folder.fileName();
        if (fldPath != QStringLiteral("/"))
            fldParentFolder = folder.path();
        fldType = typeDescription(folder);
        fldSize = contentSize(fldPath) / 1024.0;
        const QDir dir(fldPath);
        fldSubFolders = int32_t(
            dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System).size());
        fldFiles = int32_t(dir.entryList(QDir::Files | QDir::Hidden | QDir::System).size());
    }
    if (ShowDialog)
        showInformation(fso::folderInfoText(*this), QStringLiteral("ﾌｫﾙﾀﾞ 情報"));
}

// ---- common ---------------------------------------------------------------------------

void ClsFSO::runAction(const std::function<QString()> &confirmation, const QString &title,
                       const std::function<void()> &operation)
{
    StepRunner steps;
    bool proceed = true;
    if (ShowDialog) {
        proceed = false;
        steps.run([&] { proceed = confirm(confirmation(), title); });
        if (!proceed && !steps.failed())
            return;
    }
    if (proceed)
        steps.run(operation);
    fsoShowError(steps);
}

bool ClsFSO::confirm(const QString &text, const QString &title)
{
    // Nobody to ask means no consent.
    return m_prompts && m_prompts->message(text, Prompt::Buttons::OkCancel,
                                           Prompt::Icon::Information, title) == Prompt::Answer::Ok;
}

void ClsFSO::showInformation(const QString &text, const QString &title)
{
    if (m_prompts)
        m_prompts->message(text, Prompt::Buttons::Ok, Prompt::Icon::Information, title);
}

void ClsFSO::fsoShowError(const StepRunner &steps)
{
    const std::optional<ZErrorInfo> &error = steps.lastError();
    if (!error || error->number <= 0 || !m_prompts)
        return;
    m_prompts->message(QStringLiteral("ErrorCode : ") + QString::number(error->number) + Crlf +
                           Crlf + error->description,
                       Prompt::Buttons::Ok, Prompt::Icon::Exclamation, QStringLiteral("Error"));
}

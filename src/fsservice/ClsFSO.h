#pragma once

#include "fsservice/FsoFields.h"

#include <QFileInfoList>
#include <QList>
#include <QStorageInfo>
#include <QString>
#include <functional>
#include <optional>

class Prompts;
class StepRunner;

// File, folder and drive operations with their confirmations, information boxes and one
// uniform error box. Every box goes through Prompts; the class keeps nothing open between
// calls. Actions and queries report their last failure at their end; the information
// members never do, and leave cleared whatever they could not read.
class ClsFSO : public FsoDriveFields, public FsoFileFields, public FsoFolderFields
{
public:
    explicit ClsFSO(Prompts *prompts);

    // Confirmations and information boxes are shown only when set.
    bool ShowDialog = false;

    bool fsoDriveExists(const QString &strDrive);
    QList<QStorageInfo> fsoDrives();
    // An empty strDrive becomes the root volume "/", also for the caller.
    void fsoVolumeName(QString &strDrive, const QString &strVolume);
    void InfoDrive(const QString &strDrive);

    std::optional<QFileInfoList> fsoFiles(const QString &strPath);
    void fsoFileReName(const QString &strFile, const QString &strReName);
    void fsoFileDelete(const QString &strFile, bool booForce);
    void fsoFileMove(const QString &strFile, const QString &strFolder);
    void fsoFileCopy(const QString &strFile, const QString &strFolder, bool booOver);
    bool fsoFileExists(const QString &strFile);
    void InfoFile(const QString &strFile);

    std::optional<QFileInfoList> fsoFolders(const QString &strPath);
    void fsoFolderReName(const QString &strFolder, const QString &strReName);
    void fsoFolderDelete(const QString &strFolder, bool booForce);
    void fsoFolderCreate(const QString &strFolder);
    void fsoFolderMove(const QString &strFolderS, const QString &strFolderD);
    void fsoFolderCopy(const QString &strFolderS, const QString &strFolderD, bool booOver);
    bool fsoFolderExists(const QString &strFolder);
    void InfoFolder(const QString &strFolder);

private:
    // Confirmation (when ShowDialog is set), operation, report. A cancelled confirmation
    // ends the member quietly; a confirmation that could not be asked stops the operation.
    void runAction(const std::function<QString()> &confirmation, const QString &title,
                   const std::function<void()> &operation);
    bool confirm(const QString &text, const QString &title);
    void showInformation(const QString &text, const QString &title);
    void fsoShowError(const StepRunner &steps);

    Prompts *m_prompts;
};

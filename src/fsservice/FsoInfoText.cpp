#include "fsservice/FsoInfoText.h"

#include <QLocale>
#include <cmath>

namespace fso {

namespace {
const QString Tab = QStringLiteral("\t");
const QString Crlf = QStringLiteral("\r\n");

QString line(const QString &label, const QString &value)
{
    return label + value + Crlf;
}
} // namespace

QString driveTypeName(int type)
{
    switch (type) {
    case 1:
        return QStringLiteral("リムーバブルディスク");
    case 2:
        return QStringLiteral("ハードディスク");
    case 3:
        return QStringLiteral("ネットワークドライブ");
    case 4:
        return QStringLiteral("CD-ROM");
    case 5:
        return QStringLiteral("RAMディスク");
    default:
        return QStringLiteral("不明なドライブ");
    }
}

QString sizeText(double kb)
{
    // Halves round away from zero, as the number formatting of the user's locale does.
    return QLocale().toString(static_cast<qlonglong>(std::llround(kb))) + QStringLiteral(" KB");
}

QString dateText(const QDateTime &when)
{
    if (!when.isValid())
        return QString();
    return QLocale().toString(when, QLocale::ShortFormat);
}

QString fileInfoText(const FsoFileFields &f)
{
    return line(QStringLiteral("■名前") + Tab + Tab, f.filName) + Crlf +
           line(QStringLiteral("■種類") + Tab + Tab, f.filType) +
           line(QStringLiteral("■場所") + Tab + Tab, f.filParentFolder) +
           line(QStringLiteral("■サイズ") + Tab + Tab, sizeText(f.filSize)) + Crlf +
           line(QStringLiteral("■作成日") + Tab + Tab, f.filCreated) +
           line(QStringLiteral("■更新日") + Tab + Tab, f.filLastModified) +
           line(QStringLiteral("■アクセス日") + Tab, f.filLastAccessed);
}

QString folderInfoText(const FsoFolderFields &f)
{
    return line(QStringLiteral("■名前") + Tab + Tab, f.fldName) +
           line(QStringLiteral("■種類") + Tab + Tab, f.fldType) +
           line(QStringLiteral("■場所") + Tab + Tab, f.fldParentFolder) + Crlf +
           line(QStringLiteral("■サイズ") + Tab + Tab, sizeText(f.fldSize)) +
           line(QStringLiteral("■サブフォルダ") + Tab, QString::number(f.fldSubFolders)) +
           line(QStringLiteral("■ファイル") + Tab + Tab, QString::number(f.fldFiles)) + Crlf +
           line(QStringLiteral("■作成日") + Tab + Tab, f.fldCreated) +
           line(QStringLiteral("■更新日") + Tab + Tab, f.fldLastModified) +
           line(QStringLiteral("■アクセス日") + Tab, f.fldLastAccessed);
}

QString driveInfoText(const FsoDriveFields &d)
{
    const QString ready = d.drvIsReady ? QStringLiteral("は利用できます。")
                                       : QStringLiteral("の準備ができていません。");
    return line(QStringLiteral("■ドライブサイズ") + Tab, sizeText(d.drvTotalSize)) +
           line(QStringLiteral("■使用領域") + Tab, sizeText(d.drvTotalSize - d.drvFreeSpace)) +
           line(QStringLiteral("■空き領域") + Tab, sizeText(d.drvFreeSpace)) + Crlf +
           line(QStringLiteral("■割り当て文字") + Tab, d.drvDriveLetter) +
           line(QStringLiteral("■ドライブ種別") + Tab, d.drvDriveTypeName) +
           line(QStringLiteral("■シリアル番号") + Tab, d.drvSerialNumber) + Crlf +
           line(QStringLiteral("■ファイルシステム") + Tab, d.drvFileSystem) +
           line(QStringLiteral("■ボリュームラベル") + Tab, d.drvVolumeName) +
           line(QStringLiteral("■シェアネーム") + Tab, d.drvShareName) +
           line(QStringLiteral("■ルートフォルダ") + Tab, d.drvRootFolder) + Crlf +
           line(QStringLiteral("※ドライブ"), ready);
}

} // namespace fso

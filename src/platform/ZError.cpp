#include "platform/ZError.h"

#include <cerrno>

ZError::ZError(int number, const QString &description)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
{
}

ZError::ZError(int number) : ZError(number, describe(number)) {}

int ZError::numberForErrno(int err)
{
    switch (err) {
    case ENOENT:
        return ZErr::FileNotFound;
    case EEXIST:
    case ENOTEMPTY:
        return ZErr::FileExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ZErr::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
        return ZErr::PermissionDenied;
    case ENOTDIR:
        return ZErr::PathNotFound;
    case EISDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EXDEV:
        return ZErr::PathFileAccess;
    default:
        return ZErr::PathFileAccess;
    }
}

int ZError::numberFor(const std::error_code &ec)
{
    if (ec.category() == std::generic_category() || ec.category() == std::system_category())
        return numberForErrno(ec.value());
    return ZErr::PathFileAccess;
}

ZError ZError::fromErrno(int err) { return ZError(numberForErrno(err)); }

ZError ZError::fromErrorCode(const std::error_code &ec) { return ZError(numberFor(ec)); }

QString ZError::describe(int number)
{
    switch (number) {
    case ZErr::InvalidCall:
        return QStringLiteral("この操作は実行できません。");
    case ZErr::FileNotFound:
        return QStringLiteral("ファイルが見つかりません。");
    case ZErr::FileExists:
        return QStringLiteral("同じ名前のファイルが既に存在します。");
    case ZErr::DiskFull:
        return QStringLiteral("ディスクの空き容量が不足しています。");
    case ZErr::InputPastEnd:
        return QStringLiteral("ファイルの終わりを越えて読み込もうとしました。");
    case ZErr::PermissionDenied:
        return QStringLiteral("書き込みまたは読み込みの権限がありません。");
    case ZErr::PathFileAccess:
        return QStringLiteral("パス名またはファイル名が正しくありません。");
    case ZErr::PathNotFound:
        return QStringLiteral("パスが見つかりません。");
    default:
        return QStringLiteral("エラーが発生しました。");
    }
}

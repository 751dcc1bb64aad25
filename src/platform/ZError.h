#pragma once

#include <QString>
#include <stdexcept>
#include <system_error>

// A failure of a platform step: the platform's file error number with a description.
// Numbers are those the program has always shown, so the same failure reads the same
// everywhere: 53 file not found, 58 file exists, 61 disk full, 62 input past end of file,
// 70 permission denied, 75 path/file access error, 76 path not found.
namespace ZErr {
constexpr int FileNotFound = 53;
constexpr int FileExists = 58;
constexpr int DiskFull = 61;
constexpr int InputPastEnd = 62;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int InvalidCall = 5;
constexpr int DialogCancelled = 32755; // the user cancelled a common dialog
} // namespace ZErr

struct ZErrorInfo
{
    int number = 0;
    QString description;
};

class ZError : public std::runtime_error
{
public:
    ZError(int number, const QString &description);
    explicit ZError(int number);

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    ZErrorInfo info() const { return {m_number, m_description}; }

    // Maps an errno value to the program's error number.
    static int numberForErrno(int err);
    static int numberFor(const std::error_code &ec);
    static ZError fromErrno(int err);
    static ZError fromErrorCode(const std::error_code &ec);
    // The program's own Japanese description of a number.
    static QString describe(int number);

private:
    int m_number;
    QString m_description;
};

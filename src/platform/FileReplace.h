#pragma once

#include "platform/ZError.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

// The error number for a file that could not be opened, found from what is at its path.
int OpenFailureNumber(const QString &path, bool forWriting);

// The whole content of a file; throws ZError when it cannot be opened or read.
QByteArray ReadFileContent(const QString &path);

// Replaces the content of path by bytes, or leaves the former file as it was: the bytes go to
// a new file beside it, which is renamed over it only once every byte is written. A short
// write (a full disk) cancels the whole. Returns the failure, if any.
[[nodiscard]] std::optional<ZErrorInfo> ReplaceFileContent(const QString &path,
                                                           QByteArrayView bytes);

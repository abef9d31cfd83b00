// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_error.h"

#include "file_name.h"

#include <QCoreApplication>

#include <sys/stat.h>

#include <cerrno>

namespace phbuffer::files {

QString fileErrorMessage(FileErrorKind kind, int platformError) {
    switch (kind) {
    case FileErrorKind::FileNotFound:
        return QCoreApplication::translate("FileError", "File not found");
    case FileErrorKind::InvalidFilename:
        return QCoreApplication::translate("FileError", "Invalid filename");
    case FileErrorKind::TooManyOpenFiles:
        return QCoreApplication::translate("FileError", "Too many open files");
    case FileErrorKind::AccessDenied:
        return QCoreApplication::translate("FileError", "File access denied");
    case FileErrorKind::Other:
        break;
    }
    return QCoreApplication::translate("FileError", "I/O error %1").arg(platformError);
}

FileError::FileError(FileErrorKind kind, int platformError)
    : std::runtime_error(fileErrorMessage(kind, platformError).toStdString()), kind_(kind),
      platformError_(platformError) {}

FileError platformFileError(int error, const QString& path) {
    switch (error) {
    case ENOENT: {
        // This platform says ENOENT both for a missing file and for a missing folder on
        // the way to it; the user is told which of the two it is.
        const QByteArray name = fileNameBytes(path);
        const qsizetype slash = name.lastIndexOf('/');
        const QByteArray folder = slash < 0    ? QByteArray(".")
                                  : slash == 0 ? QByteArray("/")
                                               : name.left(slash);
        struct stat info {};
        const bool isFolder = ::stat(folder.constData(), &info) == 0 && S_ISDIR(info.st_mode);
        return FileError(isFolder ? FileErrorKind::FileNotFound : FileErrorKind::InvalidFilename,
                         error);
    }
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return FileError(FileErrorKind::InvalidFilename, error);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return FileError(FileErrorKind::AccessDenied, error);
    case EMFILE:
    case ENFILE:
        return FileError(FileErrorKind::TooManyOpenFiles, error);
    case 0:
        return FileError(FileErrorKind::Other, EIO);
    default:
        return FileError(FileErrorKind::Other, error);
    }
}

} // namespace phbuffer::files

// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_system.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>

#include <unistd.h>

namespace phbuffer::files {

namespace {

void checkFileName(const QString& path) {
    if (path.isEmpty() || path.size() > kMaxFileNameLength || path.contains(QChar(0)))
        throw FileError(FileErrorKind::InvalidFilename);
}

class Disk final : public FileSystem {
protected:
    QByteArray readFile(const QString& path, qint64 maxBytes) override {
        // Qt refuses a folder without an error number; the user tried to open it as a
        // file, which is an access problem, not a missing one.
        if (QFileInfo(path).isDir())
            throw FileError(FileErrorKind::AccessDenied, EISDIR);
        // Opening a named pipe waits until a program opens it for writing, which may be
        // never, and the window would wait with it: open without waiting, then read as
        // from any file, so that a pipe nobody writes to reads as empty.
        errno = 0;
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            throw platformFileError(errno, path);
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
            const int error = errno;
            ::close(fd);
            throw platformFileError(error, path);
        }
        QFile file;
        if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            throw platformFileError(EIO, path);
        }
        QByteArray bytes;
        constexpr qint64 kChunk = qint64{64} * 1024;
        while (bytes.size() < maxBytes) {
            const qsizetype had = bytes.size();
            bytes.resize(had + static_cast<qsizetype>(std::min(kChunk, maxBytes - had)));
            errno = 0;
            const qint64 got = file.read(bytes.data() + had, bytes.size() - had);
            if (got < 0)
                throw platformFileError(errno, path);
            bytes.resize(had + static_cast<qsizetype>(got));
            if (got == 0)
                break;
        }
        return bytes;
    }

    void replaceFile(const QString& path, const QByteArray& bytes) override {
        const QFileInfo target(path);
        if (target.isDir())
            throw FileError(FileErrorKind::AccessDenied, EISDIR);
        // The rename that puts the new file in place needs only the folder's permission;
        // QSaveFile refuses a write-protected file too, but leaves no error number to
        // tell the user why.
        if (target.exists() && !target.isWritable())
            throw FileError(FileErrorKind::AccessDenied, EACCES);

        QSaveFile file(path);
        errno = 0;
        // Unbuffered, so that a failing write is seen at the write and not at a flush
        // whose error QSaveFile::commit ignores.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            throw platformFileError(errno, path);
        errno = 0;
        // A full disk makes write() stop short without reporting an error, and commit()
        // would then put the truncated file in place: the count is the only sign.
        if (file.write(bytes) != bytes.size()) {
            const int error = errno;
            file.cancelWriting();
            throw platformFileError(error, path);
        }
        // commit() syncs too but ignores the result; a file system that reports a lost
        // write only here must not get the new file renamed into place.
        errno = 0;
        if (::fsync(file.handle()) != 0) {
            const int error = errno;
            file.cancelWriting();
            throw platformFileError(error, path);
        }
        errno = 0;
        if (!file.commit())
            throw platformFileError(errno, path);
    }
};

} // namespace

QByteArray FileSystem::read(const QString& path, qint64 maxBytes) {
    checkFileName(path);
    return readFile(path, maxBytes);
}

void FileSystem::replace(const QString& path, const QByteArray& bytes) {
    checkFileName(path);
    replaceFile(path, bytes);
}

FileSystem& diskFileSystem() {
    static Disk disk;
    return disk;
}

} // namespace phbuffer::files

// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_system.h"

#include "file_name.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <string>
#include <utility>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace phbuffer::files {

namespace {

void checkFileName(const QString& path) {
    if (path.isEmpty() || path.size() > kMaxFileNameLength || path.contains(QChar(0)))
        throw FileError(FileErrorKind::InvalidFilename);
}

/// As many links as the kernel follows before it calls the name a loop.
constexpr int kMaxLinks = 40;

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string lastNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

/// The error for looking at @p name (the encoded @p path) failing with @p error. Links
/// that go round in a circle name no file at all: nothing the user may open, rather than
/// a wrong name. A loop in the folders on the way stays a wrong name.
FileError lookError(int error, const std::string& name, const QString& path) {
    struct stat link {};
    if (error == ELOOP && ::lstat(name.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
        return FileError(FileErrorKind::AccessDenied, ELOOP);
    return platformFileError(error, path);
}

/// Only a regular file holds data: a folder, a named pipe, a device or a socket that has
/// the name is refused, before anything reads from it, writes to it or replaces it.
void requireRegularFile(const struct stat& info) {
    if (S_ISDIR(info.st_mode))
        throw FileError(FileErrorKind::AccessDenied, EISDIR);
    if (!S_ISREG(info.st_mode))
        throw FileError(FileErrorKind::AccessDenied, EACCES);
}

/// The name that @p path comes to once the links of its last component are followed, as
/// opening it would, so that saving through a link writes the file the link points to and
/// keeps the link. A name that doesn't exist (yet) is its own answer.
std::string followLinks(const std::string& path, const QString& userPath) {
    std::string name = path;
    for (int links = 0;; ++links) {
        struct stat info {};
        if (::lstat(name.c_str(), &info) != 0) {
            if (errno == ENOENT)
                return name;
            throw platformFileError(errno, userPath);
        }
        if (!S_ISLNK(info.st_mode))
            return name;
        if (links == kMaxLinks)
            throw FileError(FileErrorKind::AccessDenied, ELOOP);
        std::string target(PATH_MAX, '\0');
        const ssize_t size = ::readlink(name.c_str(), target.data(), target.size());
        if (size < 0)
            throw platformFileError(errno, userPath);
        if (static_cast<std::size_t>(size) == target.size())
            throw FileError(FileErrorKind::InvalidFilename, ENAMETOOLONG);
        target.resize(static_cast<std::size_t>(size));
        name = target.front() == '/' ? target : folderOf(name) + '/' + target;
    }
}

/// A name for the new file beside the old one while it is written, in the form
/// "name.XXXXXX", shortened to fit the longest name a folder holds.
std::string temporaryName(const std::string& name) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string temporary = name.substr(0, std::min<std::size_t>(name.size(), NAME_MAX - 7));
    temporary += '.';
    for (int i = 0; i < 6; ++i)
        temporary += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    return temporary;
}

/// The new file while it is made: closed when the replacing ends, and removed again
/// unless it took the old file's place.
struct NewFile {
    int folder = -1;
    int fd = -1;
    std::string temporaryName; ///< empty while the file has no name, and once it has the old one's

    NewFile() = default;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() {
        if (fd >= 0)
            ::close(fd);
        if (!temporaryName.empty())
            ::unlinkat(folder, temporaryName.c_str(), 0);
        if (folder >= 0)
            ::close(folder);
    }
};

/// Holds back the signals that end a program (an interrupt, a request to terminate, a
/// hang-up) on this thread while a file is replaced: one that comes while the new file has
/// a temporary name would leave that file behind. It is delivered when the replacing is
/// over, with the old file or the new one in place and nothing else.
class EndingSignalsHeld {
public:
    EndingSignalsHeld() {
        sigset_t ending;
        sigemptyset(&ending);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            sigaddset(&ending, signal);
        held_ = ::pthread_sigmask(SIG_BLOCK, &ending, &before_) == 0;
    }
    ~EndingSignalsHeld() {
        if (held_)
            ::pthread_sigmask(SIG_SETMASK, &before_, nullptr);
    }
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

private:
    sigset_t before_{};
    bool held_ = false;
};

class Disk final : public FileSystem {
public:
    explicit Disk(DiskFault fault = {}) : fault_(std::move(fault)) {
        // A write beyond the file size limit (ulimit -f) would end the program by SIGXFSZ,
        // without a word; ignored, the write fails with EFBIG and is reported like any
        // other failing write. A handler that the program set itself stays.
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(SIGXFSZ, SIG_IGN);
    }

protected:
    QByteArray readFile(const QString& path, qint64 maxBytes) override {
        const std::string name = fileNameBytes(path).toStdString();
        struct stat info {};
        if (::stat(name.c_str(), &info) != 0)
            throw lookError(errno, name, path);
        // Opening a device may set it going, and reading a named pipe waits for a writer
        // that may never come or never stop, with the window frozen until then.
        requireRegularFile(info);
        const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            throw lookError(errno, name, path);
        const struct Closer {
            int fd;
            ~Closer() { ::close(fd); }
        } closer{fd};
        // The name may have been given to something else since it was looked at; without
        // waiting, that open has not blocked, and what it opened is checked again.
        if (::fstat(fd, &info) != 0)
            throw platformFileError(errno, path);
        requireRegularFile(info);

        QByteArray bytes;
        constexpr qint64 kChunk = qint64{64} * 1024;
        while (bytes.size() < maxBytes) {
            const qsizetype had = bytes.size();
            bytes.resize(had + static_cast<qsizetype>(std::min(kChunk, maxBytes - had)));
            ssize_t got = 0;
            do
                got = ::read(fd, bytes.data() + had, static_cast<std::size_t>(bytes.size() - had));
            while (got < 0 && errno == EINTR);
            if (got < 0)
                throw platformFileError(errno, path);
            bytes.resize(had + static_cast<qsizetype>(got));
            if (got == 0)
                break;
        }
        return bytes;
    }

    void replaceFile(const QString& path, const QByteArray& bytes) override {
        const EndingSignalsHeld held; // released after the new file's cleanup below
        const std::string target = followLinks(fileNameBytes(path).toStdString(), path);
        // Errors from here on are about the file the links lead to.
        const QString where = fileNameFromBytes(QByteArray::fromStdString(target));
        const std::string name = lastNameOf(target);
        if (name.empty()) { // "folder/": no file can have that name
            struct stat info {};
            const bool folder = ::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
            throw FileError(folder ? FileErrorKind::AccessDenied : FileErrorKind::InvalidFilename,
                            folder ? EISDIR : ENOENT);
        }

        NewFile file;
        // Every step from here works in this folder, whatever is renamed on the way to it.
        file.folder = ::open(folderOf(target).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (file.folder < 0)
            throw platformFileError(errno, where);
        struct stat old {};
        const bool replacing = existingFile(file.folder, name, old, where);

        create(file, name, where);
        if (replacing) {
            // The new file takes the old one's place, and so its owner (where the user may
            // give it) and its permissions.
            [[maybe_unused]] const int owned = ::fchown(file.fd, old.st_uid, old.st_gid);
            [[maybe_unused]] const int permitted = ::fchmod(file.fd, old.st_mode & 07777);
        }
        for (qsizetype written = 0; written < bytes.size();) {
            const ssize_t count = injected(DiskStep::Write)
                                      ? -1
                                      : ::write(file.fd, bytes.constData() + written,
                                                static_cast<std::size_t>(bytes.size() - written));
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0) // a write of nothing at all: the disk is full
                throw platformFileError(count < 0 ? errno : ENOSPC, where);
            written += count;
        }
        // A file system that loses a write may say so only here, or only at the close.
        if (injected(DiskStep::Sync) || ::fsync(file.fd) != 0)
            throw platformFileError(errno, where);
        if (file.temporaryName.empty())
            link(file, name, where);
        const int closed = ::close(std::exchange(file.fd, -1));
        if (injected(DiskStep::Close) || closed != 0)
            throw platformFileError(errno, where);
        if (injected(DiskStep::Rename) ||
            ::renameat(file.folder, file.temporaryName.c_str(), file.folder, name.c_str()) != 0)
            throw platformFileError(errno, where);
        file.temporaryName.clear();
    }

private:
    /// Makes @p step fail, with errno set, when the fault says so.
    bool injected(DiskStep step) const {
        const int error = fault_ ? fault_(step) : 0;
        if (error != 0)
            errno = error;
        return error != 0;
    }

    /// Whether there is a file @p name in @p folder to replace, its status in @p old; throws
    /// for a name held by something that may not be replaced.
    static bool existingFile(int folder, const std::string& name, struct stat& old,
                             const QString& where) {
        if (::fstatat(folder, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                return false;
            throw platformFileError(errno, where);
        }
        requireRegularFile(old); // a link here was put in since its links were followed
        // The rename that puts the new file in place asks only the folder's permission, and
        // the superuser passes every permission check: as an editor does, the file's own
        // permissions decide, and a file that nobody may write stays as it is.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            (::geteuid() != 0 && ::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0))
            throw FileError(FileErrorKind::AccessDenied, EACCES);
        return true;
    }

    /// Opens the new file in the folder: without a name where the file system allows it, so
    /// that a crash leaves nothing behind, else under a temporary name.
    void create(NewFile& file, const std::string& name, const QString& where) const {
        file.fd = injected(DiskStep::CreateUnnamed)
                      ? -1
                      : ::openat(file.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (file.fd >= 0)
            return;
        // NFS, CIFS and FUSE have no unnamed files, and kernels before 3.11 take the flag
        // for an attempt to open the folder for writing.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            throw platformFileError(errno, where);
        for (int attempt = 1;; ++attempt) {
            std::string temporary = temporaryName(name);
            file.fd = injected(DiskStep::CreateNamed)
                          ? -1
                          : ::openat(file.folder, temporary.c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (file.fd >= 0) {
                file.temporaryName = std::move(temporary);
                return;
            }
            if (errno != EEXIST || attempt == 100)
                throw platformFileError(errno, where);
        }
    }

    /// Gives the unnamed new file a temporary name beside the old file; the rename then
    /// puts it in the old one's place in one step.
    void link(NewFile& file, const std::string& name, const QString& where) const {
        const std::string self = "/proc/self/fd/" + std::to_string(file.fd);
        for (int attempt = 1;; ++attempt) {
            std::string temporary = temporaryName(name);
            if (!injected(DiskStep::Link) &&
                (::linkat(AT_FDCWD, self.c_str(), file.folder, temporary.c_str(),
                          AT_SYMLINK_FOLLOW) == 0 ||
                 // without /proc, only a privileged process may link by the descriptor
                 (errno == ENOENT &&
                  ::linkat(file.fd, "", file.folder, temporary.c_str(), AT_EMPTY_PATH) == 0))) {
                file.temporaryName = std::move(temporary);
                return;
            }
            if (errno != EEXIST || attempt == 100)
                throw platformFileError(errno, where);
        }
    }

    DiskFault fault_;
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

std::unique_ptr<FileSystem> diskFileSystemWithFaults(DiskFault fault) {
    return std::make_unique<Disk>(std::move(fault));
}

} // namespace phbuffer::files

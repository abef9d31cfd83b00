// SPDX-License-Identifier: GPL-3.0-or-later
//
// The two things the data files do with the disk: read the start of a file, and put a
// new file in place of an old one. Tests put in a file system that fails on cue.
#pragma once

#include "file_error.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

namespace phbuffer::files {

/// The longest file name (in UTF-16 code units) that is opened at all; a longer one is
/// an "Invalid filename" before anything is touched, as on the platforms whose file
/// names the data files have always had to fit.
inline constexpr qsizetype kMaxFileNameLength = 259;

class FileSystem {
public:
    virtual ~FileSystem() = default;

    /// The first @p maxBytes bytes of the file @p path, or all of it when it is shorter.
    /// Only a regular file (or a link to one) is read: a folder, a named pipe, a device or
    /// a socket is "File access denied" at once, without waiting for a writer.
    /// @throws FileError, InvalidFilename for an empty name, a name with a NUL character
    ///         or one longer than kMaxFileNameLength.
    QByteArray read(const QString& path, qint64 maxBytes);

    /// Makes @p bytes the whole contents of the file @p path, creating it or replacing
    /// the old file. All or nothing: on failure the old file is left as it was (or there
    /// is still no file) and nothing else is left behind. Only a regular file is replaced,
    /// and only when its permissions let someone write it: anything else that has the name
    /// (a folder, a named pipe, a device, a socket, links that go round in a loop) and a
    /// file without write permission are "File access denied", also for the superuser.
    /// A link to a regular file stays a link; the file it points to gets the new bytes.
    /// @throws FileError, with the name checks of Read.
    void replace(const QString& path, const QByteArray& bytes);

protected:
    /// Read and Replace after the name checks.
    virtual QByteArray readFile(const QString& path, qint64 maxBytes) = 0;
    virtual void replaceFile(const QString& path, const QByteArray& bytes) = 0;
};

/// The real disk. A new file is written beside the old one and renamed over it once it
/// is complete, so that neither a failure nor a crash half-way loses the old file. A write
/// beyond the process's file size limit fails with EFBIG instead of ending the program.
FileSystem& diskFileSystem();

/// The steps of replacing a file on the real disk, in order.
enum class DiskStep {
    CreateUnnamed, ///< the new file, without a name, in the old file's folder (O_TMPFILE)
    CreateNamed,   ///< the new file under a temporary name, where there is no unnamed one
    Write,
    Sync,
    Link, ///< the unnamed new file gets its temporary name
    Close,
    Rename, ///< the new file takes the old one's name
};

/// Asked before each step: 0 lets the step run, an error number makes it fail with that
/// error instead.
using DiskFault = std::function<int(DiskStep)>;

/// The real disk with the failures that @p fault injects: the failures a disk gives only
/// rarely, or only on some file systems (NFS, CIFS and FUSE have no unnamed files, as
/// CreateUnnamed failing with EOPNOTSUPP shows), for the tests.
std::unique_ptr<FileSystem> diskFileSystemWithFaults(DiskFault fault);

} // namespace phbuffer::files

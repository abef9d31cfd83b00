// SPDX-License-Identifier: GPL-3.0-or-later
//
// The two things the data files do with the disk: read the start of a file, and put a
// new file in place of an old one. Tests put in a file system that fails on cue.
#pragma once

#include "file_error.h"

#include <QByteArray>
#include <QString>

namespace phbuffer::files {

/// The longest file name (in UTF-16 code units) that is opened at all; a longer one is
/// an "Invalid filename" before anything is touched, as on the platforms whose file
/// names the data files have always had to fit.
inline constexpr qsizetype kMaxFileNameLength = 259;

class FileSystem {
public:
    virtual ~FileSystem() = default;

    /// The first @p maxBytes bytes of the file @p path, or all of it when it is shorter.
    /// @throws FileError, InvalidFilename for an empty name, a name with a NUL character
    ///         or one longer than kMaxFileNameLength.
    QByteArray read(const QString& path, qint64 maxBytes);

    /// Makes @p bytes the whole contents of the file @p path, creating it or replacing
    /// the old file. All or nothing: on failure the old file is left as it was (or there
    /// is still no file) and nothing else is left behind.
    /// @throws FileError, with the name checks of Read.
    void replace(const QString& path, const QByteArray& bytes);

protected:
    /// Read and Replace after the name checks.
    virtual QByteArray readFile(const QString& path, qint64 maxBytes) = 0;
    virtual void replaceFile(const QString& path, const QByteArray& bytes) = 0;
};

/// The real disk. A new file is written beside the old one and renamed over it once it
/// is complete, so that neither a failure nor a crash half-way loses the old file.
FileSystem& diskFileSystem();

} // namespace phbuffer::files

// SPDX-License-Identifier: GPL-3.0-or-later
//
// File errors as the user sees them: the platform's error numbers folded into the few
// messages that the error box shows for a file that can't be read or written.
#pragma once

#include <QString>

#include <stdexcept>

namespace phbuffer::files {

enum class FileErrorKind {
    FileNotFound,     ///< "File not found"
    InvalidFilename,  ///< "Invalid filename": a missing folder, a bad or overlong name
    TooManyOpenFiles, ///< "Too many open files"
    AccessDenied,     ///< "File access denied"
    Other,            ///< "I/O error N", N the platform's error number
};

/// A file that can't be opened, read or written. what() is the message (UTF-8), without
/// the full stop that the error box adds.
class FileError : public std::runtime_error {
public:
    /// @p platformError is the error number that an Other error shows; the other kinds
    /// keep it only for diagnosis.
    explicit FileError(FileErrorKind kind, int platformError = 0);

    FileErrorKind kind() const { return kind_; }
    int platformError() const { return platformError_; }

private:
    FileErrorKind kind_;
    int platformError_;
};

/// The message of a file error of @p kind; @p platformError fills "I/O error %d".
QString fileErrorMessage(FileErrorKind kind, int platformError);

/// The error for the platform error number @p error (an errno value) that an operation on
/// @p path failed with. A missing file is "File not found" when its folder exists and
/// "Invalid filename" when the folder is missing too; a permission problem, a read-only
/// file system or a folder where a file is expected is "File access denied"; an error
/// number of 0 (the platform said nothing) counts as a plain I/O error (EIO).
FileError platformFileError(int error, const QString& path);

} // namespace phbuffer::files

// SPDX-License-Identifier: GPL-3.0-or-later
//
// The text file convention of the data files: 8-bit Windows-1252 text without a
// byte-order mark, every line ended by CR LF, the last one too; TAB-separated fields.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace phbuffer::files {

/// @p text in Windows-1252, one byte per character. A character the code page can't
/// hold becomes one "?", a character outside the Basic Multilingual Plane included.
/// The five bytes that the code page leaves undefined stand for U+0081, U+008D, U+008F,
/// U+0090 and U+009D, so that every byte survives decoding and encoding again.
QByteArray toWindows1252(QStringView text);

/// @p bytes decoded as Windows-1252; never fails.
QString fromWindows1252(QByteArrayView bytes);

/// The bytes of a text file holding @p lines: each line encoded and followed by CR LF.
/// No lines give an empty file.
QByteArray encodeTextLines(const QStringList& lines);

/// The lines of the text file @p bytes. A line ends at LF, every CR is dropped, and the
/// last line may lack its end (an empty file has no lines; a file ending in a line end
/// has no empty line after it). A file without any LF whose lines end in a CR, as old
/// Macintosh programs write them, is read with CR as the line end.
QStringList decodeTextLines(QByteArrayView bytes);

/// The fields of @p line: k TABs give k + 1 fields, empty ones included; an empty line
/// has none.
QStringList splitFields(const QString& line);

/// @p name with "." and @p extension appended when its last component (after the last
/// "/", "\\" or ":") has no "."; a name ending in "." counts as having an extension.
QString withDefaultExtension(const QString& name, const QString& extension);

} // namespace phbuffer::files

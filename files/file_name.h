// SPDX-License-Identifier: GPL-3.0-or-later
//
// File names as the system gives them. A name on Linux is any sequence of bytes; the
// ones that are not UTF-8 (a folder copied from an old Latin-1 system: "lat\xe9.prn")
// must still open, save and be shown. Decoding such a name to text and back, as the
// usual conversions do, turns each bad byte into U+FFFD and names another file. Here each
// byte that is not part of valid UTF-8 is kept as a lone surrogate U+DC80..U+DCFF, which
// no valid text holds, so the name comes back byte for byte.
#pragma once

#include <QByteArray>
#include <QString>

namespace phbuffer::files {

/// The name @p bytes as text that fileNameBytes turns back into the same bytes.
QString fileNameFromBytes(const QByteArray& bytes);

/// The bytes of the name @p name: UTF-8, with each kept byte of fileNameFromBytes as it was.
QByteArray fileNameBytes(const QString& name);

/// @p name for people: each kept byte written as \xHH (a backslash as itself).
QString shownFileName(const QString& name);

} // namespace phbuffer::files

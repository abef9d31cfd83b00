// SPDX-License-Identifier: GPL-3.0-or-later
//
// The data files used last, kept between runs of the program.
#pragma once

#include <QStringList>

namespace phbuffer::app {

/// The data files last saved or loaded, newest first, at most kMaxCount, kept in the
/// user's settings (QSettings of the application) so the next start offers them too.
class RecentFiles {
public:
    static constexpr int kMaxCount = 8;

    /// The files, newest first; files that have gone since are left out.
    QStringList files() const;
    /// Puts @p path first, once, and forgets the oldest beyond kMaxCount.
    void add(const QString& path);
};

} // namespace phbuffer::app

// SPDX-License-Identifier: GPL-3.0-or-later
//
// The names the save dialogs propose. The water, the plot points, the analysis and the
// chart are different kinds of file: proposing one kind's name for another invites the
// user to overwrite a water with plot points, so each kind proposes a name of its own.
#pragma once

#include <QString>

#include <array>

namespace phbuffer::ui {

/// What a save dialog saves.
enum class SaveKind { WaterData, PlotData, Analysis, Chart };

/// The last name chosen for each kind of file, and what a dialog of a kind proposes.
class SaveNames {
public:
    /// The name a dialog saving a @p kind file with @p extension (no dot) proposes:
    /// the water's own file @p dataFile for the water; otherwise the data file's base name
    /// (or, before there is one, the base name last chosen for the kind) with @p extension,
    /// in the folder last used for the kind or else the data file's. Empty when there is
    /// nothing to go by, and the dialog then starts in its initial directory.
    QString proposal(SaveKind kind, const QString& dataFile, const QString& extension) const;
    /// The extension last chosen for @p kind, or @p fallback before any.
    QString lastExtension(SaveKind kind, const QString& fallback) const;
    /// Remembers @p path, completed with its extension, as the kind's last name.
    void chosen(SaveKind kind, const QString& path);

private:
    std::array<QString, 4> last_;
};

} // namespace phbuffer::ui

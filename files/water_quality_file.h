// SPDX-License-Identifier: GPL-3.0-or-later
//
// The water quality data file: the texts of the two input grids, 15 lines of
// TAB-separated fields. Lines 1 to 10 are the buffer systems' grid (line 1 its column
// titles), line 11 is empty, lines 12 to 15 are the water parameters' grid. After them
// come the run's conditions, one "label TAB value" line each: "Titrant" ("acid" or
// "base") and "Upper pH target" (the text of its edit).
#pragma once

#include "file_system.h"

#include "model/run_description.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <stdexcept>

namespace phbuffer::files {

inline constexpr int kBufferSystemColumns = 5;
inline constexpr int kBufferSystemRows = 10; ///< row 0 holds the column titles
inline constexpr int kWaterParameterColumns = 2;
inline constexpr int kWaterParameterRows = 4;
inline constexpr int kDataFileLines = 15;
/// How much of a file loading reads at most: far more than 15 lines of grid texts need,
/// little enough that picking a huge file by mistake does no harm.
inline constexpr qint64 kMaxDataFileHead = qint64{16} * 1024 * 1024;

/// The run's conditions that follow the grids in the file.
struct DataFileConditions {
    model::Titrant titrant = model::Titrant::StrongAcid;
    QString upperTarget; ///< the text of its edit; empty for the form's default

    bool operator==(const DataFileConditions& other) const {
        return titrant == other.titrant && upperTarget == other.upperTarget;
    }
};

/// The texts of the two input grids, row by row, cell by cell, as the file keeps them.
struct WaterQualityTexts {
    std::array<std::array<QString, kBufferSystemColumns>, kBufferSystemRows> bufferSystems;
    std::array<std::array<QString, kWaterParameterColumns>, kWaterParameterRows> waterParameters;
    /// The conditions lines; none for a file without them, which gives the defaults, and
    /// for a water under the defaults, whose file stays the 15 lines of the grids.
    std::optional<DataFileConditions> conditions;

    bool operator==(const WaterQualityTexts& other) const {
        return bufferSystems == other.bufferSystems && waterParameters == other.waterParameters &&
               conditions == other.conditions;
    }
};

/// A file that is not a water quality data file that can be loaded; what() names the line.
class DataFileError : public std::runtime_error {
public:
    explicit DataFileError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

/// The 15 lines of the file for @p texts, and its two conditions lines when it has
/// conditions, without line ends.
QStringList waterQualityFileLines(const WaterQualityTexts& texts);

/// Takes rows 1 to 9 of the buffer systems and all four water parameter rows (labels
/// included) from the data file @p bytes; the column titles stay. Extra fields and any
/// text in lines 1 and 11 are ignored. After line 15, the conditions lines are read where
/// present: an unknown label, a line without a value and a titrant other than "acid" or
/// "base" are ignored, and a condition without a line gets its default; no such line
/// at all gives no conditions. All or nothing: a file that
/// ends before line 15, or a line with fewer fields than its grid row has cells, raises
/// and leaves @p texts as it was.
/// @throws DataFileError naming the first line that falls short.
void readWaterQualityFile(QByteArrayView bytes, WaterQualityTexts& texts);

/// Writes @p texts into the file @p path, replacing any old file only once the new one
/// is complete.
/// @throws FileError; the old file is then unchanged.
void saveWaterQualityFile(FileSystem& files, const QString& path, const WaterQualityTexts& texts);

/// readWaterQualityFile on the file @p path, all or nothing as there.
/// @throws FileError or DataFileError; @p texts is then unchanged.
void loadWaterQualityFile(FileSystem& files, const QString& path, WaterQualityTexts& texts);

} // namespace phbuffer::files

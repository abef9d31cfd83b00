// SPDX-License-Identifier: GPL-3.0-or-later
#include "water_quality_file.h"

#include "text_file.h"

#include <QCoreApplication>

#include <utility>

namespace phbuffer::files {

namespace {

constexpr int kFirstParameterLine = kBufferSystemRows + 2; // after the empty line 11

// The conditions lines' keywords belong to the file format and are never translated.
const QString kTitrantLabel = QStringLiteral("Titrant");
const QString kUpperTargetLabel = QStringLiteral("Upper pH target");
const QString kAcid = QStringLiteral("acid");
const QString kBase = QStringLiteral("base");

/// The conditions from the lines after line 15 of @p lines; none when no line holds one.
std::optional<DataFileConditions> readConditions(const QStringList& lines) {
    std::optional<DataFileConditions> conditions;
    for (qsizetype i = kDataFileLines; i < lines.size(); ++i) {
        const QStringList fields = splitFields(lines[i]);
        if (fields.size() < 2 || fields[1].isEmpty())
            continue;
        if (fields[0] == kTitrantLabel && (fields[1] == kAcid || fields[1] == kBase)) {
            conditions.emplace(conditions.value_or(DataFileConditions{})).titrant =
                fields[1] == kBase ? model::Titrant::StrongBase : model::Titrant::StrongAcid;
        } else if (fields[0] == kUpperTargetLabel) {
            conditions.emplace(conditions.value_or(DataFileConditions{})).upperTarget = fields[1];
        }
    }
    return conditions;
}

QString fieldCount(qsizetype count) {
    if (count == 0)
        return QCoreApplication::translate("WaterQualityFile", "no fields");
    return count == 1 ? QCoreApplication::translate("WaterQualityFile", "1 field")
                      : QCoreApplication::translate("WaterQualityFile", "%1 fields").arg(count);
}

/// The fields of line @p number (1-based), refusing a line that has fewer than @p needed.
QStringList fieldsOfLine(const QStringList& lines, int number, int needed) {
    QStringList fields = splitFields(lines[number - 1]);
    if (fields.size() < needed)
        throw DataFileError(
            QCoreApplication::translate("WaterQualityFile",
                                        "Line %1 of the file has %2 where %3 are needed; "
                                        "nothing was loaded")
                .arg(number)
                .arg(fieldCount(fields.size()))
                .arg(needed));
    return fields;
}

} // namespace

QStringList waterQualityFileLines(const WaterQualityTexts& texts) {
    QStringList lines;
    for (const auto& row : texts.bufferSystems) {
        QStringList fields(row.begin(), row.end());
        lines << fields.join(QLatin1Char('\t'));
    }
    lines << QString();
    for (const auto& row : texts.waterParameters) {
        QStringList fields(row.begin(), row.end());
        lines << fields.join(QLatin1Char('\t'));
    }
    if (texts.conditions) {
        const bool base = texts.conditions->titrant == model::Titrant::StrongBase;
        lines << kTitrantLabel + QLatin1Char('\t') + (base ? kBase : kAcid);
        lines << kUpperTargetLabel + QLatin1Char('\t') + texts.conditions->upperTarget;
    }
    return lines;
}

void readWaterQualityFile(QByteArrayView bytes, WaterQualityTexts& texts) {
    const QStringList lines = decodeTextLines(bytes);
    if (lines.size() < kDataFileLines)
        throw DataFileError(
            (lines.isEmpty()
                 ? QCoreApplication::translate("WaterQualityFile", "The file is empty")
                 : QCoreApplication::translate("WaterQualityFile", "The file ends after line %1")
                       .arg(lines.size())) +
            QCoreApplication::translate(
                "WaterQualityFile",
                ", but a water quality data file has %1 lines; nothing was loaded")
                .arg(kDataFileLines));

    // Everything is checked before the first cell changes.
    WaterQualityTexts loaded = texts;
    for (int row = 1; row < kBufferSystemRows; ++row) {
        const QStringList fields = fieldsOfLine(lines, row + 1, kBufferSystemColumns);
        for (int col = 0; col < kBufferSystemColumns; ++col)
            loaded.bufferSystems[row][col] = fields[col];
    }
    for (int row = 0; row < kWaterParameterRows; ++row) {
        const QStringList fields =
            fieldsOfLine(lines, kFirstParameterLine + row, kWaterParameterColumns);
        for (int col = 0; col < kWaterParameterColumns; ++col)
            loaded.waterParameters[row][col] = fields[col];
    }
    loaded.conditions = readConditions(lines);
    texts = std::move(loaded);
}

void saveWaterQualityFile(FileSystem& files, const QString& path, const WaterQualityTexts& texts) {
    files.replace(path, encodeTextLines(waterQualityFileLines(texts)));
}

void loadWaterQualityFile(FileSystem& files, const QString& path, WaterQualityTexts& texts) {
    QByteArray head = files.read(path, kMaxDataFileHead);
    if (head.size() == kMaxDataFileHead) {
        // The file may go on: only lines that end within what was read can be trusted.
        qsizetype end = -1;
        for (int line = 0; line < kDataFileLines; ++line) {
            end = head.indexOf('\n', end + 1);
            if (end < 0)
                throw DataFileError(
                    QCoreApplication::translate("WaterQualityFile",
                                                "The first %1 lines of the file are longer "
                                                "than %2 MiB; this is no water quality "
                                                "data file")
                        .arg(kDataFileLines)
                        .arg(kMaxDataFileHead / (qint64{1024} * 1024)));
        }
        head.truncate(end + 1);
    }
    readWaterQualityFile(head, texts);
}

} // namespace phbuffer::files

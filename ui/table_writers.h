// SPDX-License-Identifier: GPL-3.0-or-later
//
// How results are written as tables and records for other programs: one CSV writer and
// one JSON writer for the analysis and the batch, so both write the same way.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace phbuffer::ui {

/// A table that a spreadsheet opens in the user's locale: comma-separated with a decimal
/// point, or semicolon-separated with a decimal comma where the decimal separator is a
/// comma. Text cells are quoted where they need it, and a leading =, +, - or @ defused
/// (names come from user files); every line ends in CR LF.
class CsvTable {
public:
    explicit CsvTable(char32_t decimalSeparator)
        : field_(decimalSeparator == U',' ? QLatin1Char(';') : QLatin1Char(',')),
          decimal_(decimalSeparator == U',' ? U',' : U'.') {}

    QChar fieldSeparator() const { return field_; }
    /// @p value with @p digits decimals.
    QString number(double value, int digits) const;
    /// A text cell.
    QString text(const QString& value) const;
    /// The line of @p fields, CR LF included.
    QString line(const QStringList& fields) const;

private:
    QChar field_;
    char32_t decimal_;
};

/// A JSON number that reads back to @p value; null for what JSON can't hold.
QString jsonNumber(double value);
/// A JSON string literal of @p text.
QString jsonString(const QString& text);

/// A JSON object with its members in the order they are added, written
/// {"key": value, "key": value}.
class JsonObject {
public:
    /// A member whose value is already JSON (a number, an object, an array, null).
    JsonObject& raw(const char* key, const QString& json);
    JsonObject& number(const char* key, double value) { return raw(key, jsonNumber(value)); }
    JsonObject& string(const char* key, const QString& value) {
        return raw(key, jsonString(value));
    }
    JsonObject& boolean(const char* key, bool value) {
        return raw(key, QString::fromLatin1(value ? "true" : "false"));
    }
    QString text() const;

private:
    QStringList members_;
};

/// A JSON array of values that are already JSON, written [a, b].
QString jsonArray(const QStringList& values);

/// JSON's null, for a value that is not there.
QString jsonNull();

} // namespace phbuffer::ui

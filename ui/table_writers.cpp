// SPDX-License-Identifier: GPL-3.0-or-later
#include "table_writers.h"

#include "number_format.h"

#include "files/csv_field.h"

#include <charconv>
#include <cmath>

namespace phbuffer::ui {

QString CsvTable::number(double value, int digits) const {
    return FloatToStrF(value, 15, digits, decimal_);
}

QString CsvTable::text(const QString& value) const {
    return files::csvTextField(value, field_);
}

QString CsvTable::line(const QStringList& fields) const {
    return fields.join(field_) + QStringLiteral("\r\n");
}

QString jsonNumber(double value) {
    if (!std::isfinite(value))
        return jsonNull();
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return QString::fromLatin1(buffer, static_cast<int>(end - buffer));
}

QString jsonString(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == '"' || u == '\\')
            out += QLatin1Char('\\') + ch;
        else if (u < 0x20)
            out += QStringLiteral("\\u%1").arg(static_cast<int>(u), 4, 16, QLatin1Char('0'));
        else
            out += ch;
    }
    return out + QLatin1Char('"');
}

JsonObject& JsonObject::raw(const char* key, const QString& json) {
    members_ << jsonString(QString::fromLatin1(key)) + QStringLiteral(": ") + json;
    return *this;
}

QString JsonObject::text() const {
    return QLatin1Char('{') + members_.join(QStringLiteral(", ")) + QLatin1Char('}');
}

QString jsonArray(const QStringList& values) {
    return QLatin1Char('[') + values.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString jsonNull() {
    return QStringLiteral("null");
}

} // namespace phbuffer::ui

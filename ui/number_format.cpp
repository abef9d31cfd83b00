// SPDX-License-Identifier: GPL-3.0-or-later
#include "number_format.h"

#include "model/number_text.h"

#include <QLocale>
#include <QRegularExpression>

namespace phbuffer::ui {

char32_t systemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    const auto ucs4 = point.toUcs4();
    return ucs4.size() == 1 ? ucs4.front() : U'.';
}

QString FloatToStrF(double value, int precision, int digits, char32_t decimalSeparator) {
    return QString::fromStdString(model::formatFixed(value, precision, digits, decimalSeparator));
}

long double StrToFloat(const QString& text, char32_t decimalSeparator) {
    return model::parseStrict(text.toStdString(), decimalSeparator);
}

bool TryStrToFloat(const QString& text, double& value, char32_t decimalSeparator) {
    return model::tryParse(text.toStdString(), value, decimalSeparator);
}

QString keepQuantitiesTogether(const QString& text) {
    static const QRegularExpression kNumberAndUnit(
        QStringLiteral("(?<=\\d) (?=mmol)|(?<=pH) (?=-?\\d)"));
    const QChar noBreak(0x00A0);
    QString kept = text;
    kept.replace(kNumberAndUnit, noBreak);
    // A line may break after a slash; the word joiner forbids it inside the unit.
    kept.replace(QStringLiteral("mmol/L H+"),
                 QStringLiteral("mmol/\u2060L") + noBreak + QStringLiteral("H+"));
    return kept;
}

} // namespace phbuffer::ui

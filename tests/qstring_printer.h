// SPDX-License-Identifier: GPL-3.0-or-later
//
// Lets GoogleTest show a QString as its text when an assertion fails.
#pragma once

#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

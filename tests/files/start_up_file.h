// SPDX-License-Identifier: GPL-3.0-or-later
//
// The water quality data file that saving writes right after start, byte for byte.
#pragma once

#include <QByteArray>

namespace phbuffer::test {

/// The file with @p point as the decimal separator of its numbers.
inline QByteArray StartUpFile(char point = '.') {
    QByteArray file = "\tConc. [mM]\tpKa_1\tpKa_2\tpKa_3\r\n"
                      "Dissolved Inorganic Carbon (CO2-total)\t3.000\t6.38\t10.32\t-\r\n"
                      "Acetic acid\t0.200\t4.76\t-\t-\r\n"
                      "Dissolved sulfide\t0.000\t7.05\t14.00\t-\r\n"
                      "Phosphate\t0.155\t2.12\t7.21\t12.67\r\n"
                      "Ammonia\t2.565\t9.21\t-\t-\r\n"
                      "Amino groups\t2.835\t9.50\t-\t-\r\n"
                      "Carboxyl groups/HSO4-\t0.936\t1.92\t-\t-\r\n"
                      "Yet undefined\t0.000\t-\t-\t-\r\n"
                      "Yet undefined\t0.000\t-\t-\t-\r\n"
                      "\r\n"
                      "Intial pH\t7.80\r\n"
                      "Henry\xB4s constant [atm/(mole fraction)]\t1640\r\n"
                      "Partial pressure [ppm]\t426\r\n"
                      "Lower pH target\t4.50\r\n";
    file.replace('.', point);
    return file.replace("Conc, [mM]", "Conc. [mM]");
}

} // namespace phbuffer::test

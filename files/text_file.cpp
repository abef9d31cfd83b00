// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_file.h"

#include <algorithm>
#include <array>

namespace phbuffer::files {

namespace {

// Bytes 0x80 to 0x9F; bytes 0xA0 to 0xFF are the Latin-1 characters of the same code.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeChar(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    const auto found = std::find(kHighControls.begin(), kHighControls.end(), c);
    if (found != kHighControls.end())
        return static_cast<char>(0x80 + (found - kHighControls.begin()));
    return '?';
}

} // namespace

QByteArray toWindows1252(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        bytes.append(encodeChar(c.unicode()));
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one character, one "?"
    }
    return bytes;
}

QString fromWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t{b});
    }
    return text;
}

QByteArray encodeTextLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes.append(toWindows1252(line)).append("\r\n");
    return bytes;
}

QStringList decodeTextLines(QByteArrayView bytes) {
    // A file with CR-only line ends would otherwise read as one line, and no data file is
    // one line long; a CR inside a line of an LF file still goes, as the convention says.
    const bool crOnly = !bytes.contains('\n') && bytes.contains('\r');
    const char end = crOnly ? '\r' : '\n';
    QStringList lines;
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype stop = bytes.indexOf(end, start);
        if (stop < 0)
            stop = bytes.size();
        lines.append(fromWindows1252(bytes.sliced(start, stop - start)).remove(QLatin1Char('\r')));
        start = stop + 1;
    }
    return lines;
}

QStringList splitFields(const QString& line) {
    if (line.isEmpty())
        return {};
    return line.split(QLatin1Char('\t'));
}

QString withDefaultExtension(const QString& name, const QString& extension) {
    const qsizetype lastSeparator =
        std::max({name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')),
                  name.lastIndexOf(QLatin1Char(':'))});
    if (name.indexOf(QLatin1Char('.'), lastSeparator + 1) >= 0)
        return name;
    return name + QLatin1Char('.') + extension;
}

} // namespace phbuffer::files

// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_name.h"

#include <QStringDecoder>

namespace phbuffer::files {

namespace {

constexpr char16_t kFirstKeptByte = 0xDC80; // a lone low surrogate for each byte 0x80..0xFF

/// Whether @p name[i] is a kept byte: a low surrogate of that range on its own, not the
/// second half of a character beyond U+FFFF.
bool isKeptByte(const QString& name, qsizetype i) {
    const char16_t c = name[i].unicode();
    return c >= kFirstKeptByte && c <= kFirstKeptByte + 0x7F &&
           (i == 0 || !name[i - 1].isHighSurrogate());
}

/// The length of the UTF-8 sequence that starts with @p lead, 0 for a byte that can't.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

} // namespace

QString fileNameFromBytes(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = sequenceLength(lead);
        if (length == 1) {
            name += QChar(lead);
            ++i;
            continue;
        }
        // Qt's decoder judges the sequence (overlong forms, surrogates, beyond U+10FFFF);
        // only one it takes whole is text, anything else keeps its first byte.
        if (length > 0 && i + length <= bytes.size()) {
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString decoded = decoder.decode(QByteArrayView(bytes).sliced(i, length));
            if (!decoder.hasError() && !decoded.contains(QChar::ReplacementCharacter)) {
                name += decoded;
                i += length;
                continue;
            }
        }
        name += QChar(static_cast<char16_t>(kFirstKeptByte + (lead - 0x80)));
        ++i;
    }
    return name;
}

QByteArray fileNameBytes(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype textStart = 0;
    const auto flushText = [&](qsizetype end) {
        bytes += QStringView(name).sliced(textStart, end - textStart).toUtf8();
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isKeptByte(name, i))
            continue;
        flushText(i);
        bytes += static_cast<char>(0x80 + (name[i].unicode() - kFirstKeptByte));
        textStart = i + 1;
    }
    flushText(name.size());
    return bytes;
}

QString shownFileName(const QString& name) {
    QString shown;
    shown.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isKeptByte(name, i))
            shown += QStringLiteral("\\x%1").arg(0x80 + (name[i].unicode() - kFirstKeptByte), 2, 16,
                                                 QLatin1Char('0'));
        else
            shown += name[i];
    }
    return shown;
}

} // namespace phbuffer::files

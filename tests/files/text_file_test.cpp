// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/text_file.h"

#include <gtest/gtest.h>

#include <QStringDecoder>

#include <utility>

using namespace phbuffer::files;

namespace {

TEST(Windows1252, EveryByteDecodesAsQtsCodecHasItAndEncodesBack) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    QStringDecoder qtCodec("windows-1252");
    ASSERT_TRUE(qtCodec.isValid());
    const QString reference = qtCodec(all);
    const QString decoded = fromWindows1252(all);
    ASSERT_EQ(decoded.size(), 256);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(decoded[b].unicode(), reference[b].unicode()) << "byte " << b;
    EXPECT_EQ(toWindows1252(decoded), all);
}

TEST(Windows1252, ACharacterTheCodePageLacksBecomesOneQuestionMark) {
    const QString text = QString::fromUtf8("Henry\u00B4s \u20AC \u0101\U0001F600|") +
                         QChar(0xD800) + QStringLiteral("|\u0080");
    EXPECT_EQ(toWindows1252(text), QByteArray("Henry\xB4s \x80 ??|?|?"));
}

TEST(TextLines, EveryLineEndsInCrLfTheLastToo) {
    EXPECT_EQ(encodeTextLines({QStringLiteral("a"), QString(), QStringLiteral("\u00B4")}),
              QByteArray("a\r\n\r\n\xB4\r\n"));
    EXPECT_EQ(encodeTextLines({}), QByteArray());
}

TEST(TextLines, ALineEndsAtLfEveryCrIsDroppedAndTheLastEndIsOptional) {
    const std::pair<const char*, QStringList> cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"\r\n", {""}},
        {"a\n\n", {"a", ""}},
        {"x\ry\r\r\nz\n", {"xy", "z"}},
        {"\xB4\n", {"\u00B4"}},
    };
    for (const auto& [bytes, lines] : cases)
        EXPECT_EQ(decodeTextLines(bytes), lines) << '"' << bytes << '"';
}

TEST(TextLines, AFileWithoutLfEndsItsLinesAtCr) {
    EXPECT_EQ(decodeTextLines("a\rb\r"), (QStringList{"a", "b"}));
    EXPECT_EQ(decodeTextLines("a\r\rb"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(decodeTextLines("\r"), (QStringList{""}));
}

TEST(TextLines, FieldsAreWhatTheTabsEnclose) {
    EXPECT_EQ(splitFields(QString()), QStringList());
    EXPECT_EQ(splitFields(QStringLiteral("\t")), (QStringList{"", ""}));
    EXPECT_EQ(splitFields(QStringLiteral("\ta\t\tb ")), (QStringList{"", "a", "", "b "}));
}

TEST(DefaultExtension, IsAppendedOnlyWhenTheLastComponentHasNoDot) {
    const std::pair<const char*, const char*> cases[] = {
        {"water", "water.prn"},
        {"water.dat", "water.dat"},
        {"water.", "water."},
        {".water", ".water"},
        {"/home/me/my.data/water", "/home/me/my.data/water.prn"},
        {"C:\\my.data\\water", "C:\\my.data\\water.prn"},
        {"x.y:water", "x.y:water.prn"},
    };
    for (const auto& [name, completed] : cases)
        EXPECT_EQ(withDefaultExtension(QString::fromUtf8(name), QStringLiteral("prn")),
                  QString::fromUtf8(completed));
}

} // namespace

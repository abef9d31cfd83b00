// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/file_name.h"
#include "qstring_printer.h"

#include <gtest/gtest.h>

using namespace phbuffer::files;

TEST(FileNames, EveryByteSequenceComesBackAsItWasAndIsShownEscapedWhereItIsNoText) {
    struct Case {
        QByteArray bytes;
        QString shown;
    };
    const Case cases[] = {
        {"water.prn", "water.prn"},
        {"Wasser \xc3\xa4.prn", QString::fromUtf8("Wasser \xc3\xa4.prn")},
        {"lat\xe9.prn", "lat\\xe9.prn"},     // Latin-1
        {"x\xff.prn", "x\\xff.prn"},         // never in UTF-8
        {"\xc3", "\\xc3"},                   // a sequence cut short
        {"\xc0\xaf", "\\xc0\\xaf"},          // an overlong '/'
        {"\xed\xb2\x80", "\\xed\\xb2\\x80"}, // an encoded surrogate, the very range kept bytes use
        {"\xf0\x9f\x92\xa7.prn", QString::fromUtf8("\xf0\x9f\x92\xa7.prn")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const QString name = fileNameFromBytes(c.bytes);
        EXPECT_EQ(fileNameBytes(name), c.bytes);
        EXPECT_EQ(shownFileName(name), c.shown);
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
//
// The form as the window has it right after start, for the tests of its handlers.
#pragma once

#include "qstring_printer.h"

#include "ui/errors.h"
#include "ui/main_form.h"

#include <gtest/gtest.h>

namespace phbuffer::test {

/// The error box text of a handler call that must fail; a failure of the test when the
/// call does not fail.
template <class Handler> QString FailureOf(Handler handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        return ui::errorBoxText(e);
    }
    ADD_FAILURE() << "the handler did not fail";
    return {};
}

/// The form right after the window was shown, with a chosen decimal separator.
class StartedForm : public ::testing::Test {
protected:
    explicit StartedForm(char32_t separator = U'.') {
        form.DecimalSeparator = separator;
        form.FormShow(&form);
    }

    QString& G1(int c, int r) { return form.StringGrid1.Cells(c, r); }
    QString& G2(int c, int r) { return form.StringGrid2.Cells(c, r); }
    void SetAllConcentrations(const QString& text) {
        for (int r = 1; r <= 9; ++r)
            G1(1, r) = text;
    }
    void PressRun() { form.DoTitrationButtonClick(&form.DoTitrationButton); }

    ui::TpHmainForm form;
};

class StartedFormWithComma : public StartedForm {
protected:
    StartedFormWithComma() : StartedForm(U',') {}
};

} // namespace phbuffer::test

// SPDX-License-Identifier: GPL-3.0-or-later
//
// The Help menu's pages: a short guide to the window, its keys, and what the program is.
#pragma once

class QWidget;

namespace phbuffer::app {

/// The short guide in a browser window of its own (F1).
void showHelpPage(QWidget* parent);
/// Every key of the window, in a browser window of its own.
void showKeysPage(QWidget* parent);
/// The program's name, version and license.
void showAbout(QWidget* parent);

} // namespace phbuffer::app

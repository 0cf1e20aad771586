// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef STARTUPMESSAGES_H
#define STARTUPMESSAGES_H

#include <QString>

// Qt's messages from the time before linetree knows that it has a display
// and OpenGL. Where either is missing, one line of linetree's own says why
// instead of Qt's warnings, after the debug output the user asked for;
// otherwise they are all passed on as they came. Qt may log from any thread.

// From now on, before the application object is made: the line names
// `program`, and gives `advice` after the cause where no display was reached.
void holdMessages(const char *program = "linetree", const char *advice = nullptr);

// Every message held, as it came, and every later one at once; without Qt's
// own warnings where `qtWarnings` is false, but for one that ends the
// program.
void passHeldMessagesOn(bool qtWarnings = true);

// Says why on standard error and ends the program with status 1.
[[noreturn]] void failToStart(const QString &reason);

#endif // STARTUPMESSAGES_H

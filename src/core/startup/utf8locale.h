// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef UTF8LOCALE_H
#define UTF8LOCALE_H

// Has the locale that Qt takes from the environment read characters as
// UTF-8, as Qt 6 needs them.
//
// Where the locale's characters are something else, as in the C locale of a
// cron job or a container, Qt 6.8 switches them to UTF-8 itself and says so
// in four lines at every start, amid what linetree says. Made first, in the
// environment that Qt reads the locale from, the switch leaves every other
// category of the locale as it was and Qt nothing to say.

// Once, before the application object is made
void useUtf8Locale();

#endif // UTF8LOCALE_H

// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "utf8locale.h"

#include <QByteArray>
#include <QByteArrayList>

#include <clocale>
#include <langinfo.h>
#include <unistd.h>
#include <utility>

void useUtf8Locale()
{
    std::setlocale(LC_ALL, "");
    if (qstricmp(nl_langinfo(CODESET), "UTF-8") == 0)
        return;
    // The same language in UTF-8, else C's
    QByteArray characters = std::setlocale(LC_CTYPE, nullptr);
    for (const char end : {'.', '@'}) {
        const int at = characters.indexOf(end);
        if (at >= 0)
            characters.truncate(at);
    }
    characters += ".UTF-8";
    if (!std::setlocale(LC_CTYPE, characters.constData())) {
        characters = "C.UTF-8";
        if (!std::setlocale(LC_CTYPE, characters.constData()))
            return;
    }
    // LC_ALL would outweigh LC_CTYPE. What it set for every category stays
    // set for the others through LANG, which the LC_ variables that it
    // outweighed no longer outweigh.
    const QByteArray all = qgetenv("LC_ALL");
    if (!all.isEmpty()) {
        QByteArrayList outweighed;
        for (char **variable = environ; *variable; ++variable) {
            const QByteArray name = QByteArray(*variable).split('=').value(0);
            if (name.startsWith("LC_"))
                outweighed << name;
        }
        for (const QByteArray &name : std::as_const(outweighed))
            qunsetenv(name.constData());
        qputenv("LANG", all);
    }
    qputenv("LC_CTYPE", characters);
}

// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef LOGFILE_H
#define LOGFILE_H

#include <cstdio>
#include <cstdlib>

// The file that the environment variable names, opened to append a line at a
// time, each written as it comes; null without the variable.
inline std::FILE *openLog(const char *variable)
{
    const char *path = std::getenv(variable);
    std::FILE *file = path ? std::fopen(path, "a") : nullptr;
    if (file)
        std::setvbuf(file, nullptr, _IOLBF, 0);
    return file;
}

#endif // LOGFILE_H

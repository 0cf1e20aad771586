// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef PARAMETERFILE_H
#define PARAMETERFILE_H

#include <QString>

// How much of a file, or of a text, is read for a parameter line
constexpr int parameterHeadSize = 64 * 1024;

// The parameter line that a picture or a model saved by linetree holds, or a
// text with a line that starts with "linetree", in UTF-8 or, marked so, in
// UTF-16. Reads the file's first 64 KiB at most, where linetree's pictures
// keep the line, and inflates no compressed text beyond what a line takes.
// False, with why in `error`, where there is none.
bool readParameterText(const QString &fileName, QString *line, QString *error);

// The same from the head of a file or a stream read already, as much of it
// as `whole` says, `size` bytes in all where known, -1 where not
bool readParameterHead(const QByteArray &head, bool whole, qint64 size, QString *line,
                       QString *error);

#endif // PARAMETERFILE_H

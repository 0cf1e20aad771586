// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef FILEFORMATS_H
#define FILEFORMATS_H

#include "plotterdrawing.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

class TreeView;

// What a file is written from: the view, which shows the tree; the line
// that brings the tree and the view back; and, for a pen plotter, the page
struct Keeping
{
    TreeView *view = nullptr;
    QString parameterLine;
    PlotterPage page;
};

// What a format's reader made of a file's head
enum class Reading { OtherFormat, Found, Failed };

// A format that linetree writes and takes its parameter line back from. Each
// has a unit of its own under formats/, with both.
struct FileFormat
{
    const char *name;   // as linetree-render names it
    const char *suffix; // of its files' names
    const char *filter; // in the save dialog
    // The file; false, with why in `error`, where it cannot be written.
    // `note` tells what a person may want to know of it, if anything.
    bool (*write)(const Keeping &keeping, QByteArray *file, QString *note, QString *error);
    // The parameter line in a file's head, as much of it as `whole` says,
    // where the head is of this format; none for a format that another of
    // the same suffix reads
    Reading (*read)(const QByteArray &head, bool whole, QString *line, QString *error);
};

// Every format linetree writes, in the order of the save dialog: for each
// suffix, the format its name gives first
const QVector<FileFormat> &fileFormats();

// The format that a file's name gives by its suffix; none where it gives
// none
const FileFormat *formatOfName(const QString &fileName);

// The format of that name; none where there is none
const FileFormat *formatNamed(const QString &name);

// The suffixes of the formats, each once
QStringList savedSuffixes();

#endif // FILEFORMATS_H

// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef PDFFILE_H
#define PDFFILE_H

#include "fileformats.h"

// The frame's lines as vectors, white on black, on a page of the view's very
// size, with the parameter line as the subject and keywords of its XMP
// metadata, which PDF viewers show
bool writePdf(const Keeping &keeping, QByteArray *file, QString *note, QString *error);

// The keywords in a PDF's XMP metadata
Reading readPdf(const QByteArray &head, bool whole, QString *line, QString *error);

#endif // PDFFILE_H

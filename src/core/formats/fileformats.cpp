// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "fileformats.h"
#include "glbfile.h"
#include "objfile.h"
#include "pdffile.h"
#include "plotterfile.h"
#include "pngfile.h"
#include "svgfile.h"

#include <QFileInfo>

const QVector<FileFormat> &fileFormats()
{
    static const QVector<FileFormat> formats {
            {"png", "png", QT_TRANSLATE_NOOP("FileFormats", "PNG image (*.png)"), writePng,
             readPng},
            {"svg", "svg", QT_TRANSLATE_NOOP("FileFormats", "SVG drawing (*.svg)"), writeSvg,
             readSvg},
            {"pdf", "pdf", QT_TRANSLATE_NOOP("FileFormats", "PDF document (*.pdf)"), writePdf,
             readPdf},
            {"obj", "obj", QT_TRANSLATE_NOOP("FileFormats", "OBJ 3D model (*.obj)"), writeObj,
             readObj},
            {"glb", "glb", QT_TRANSLATE_NOOP("FileFormats", "glTF binary model (*.glb)"), writeGlb,
             readGlb},
            // Read as any SVG
            {"plotter", "svg", QT_TRANSLATE_NOOP("FileFormats", "SVG for pen plotters (*.svg)"),
             writePlotterSvg, nullptr},
    };
    return formats;
}

const FileFormat *formatOfName(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const FileFormat &format : fileFormats()) {
        if (suffix == QLatin1String(format.suffix))
            return &format;
    }
    return nullptr;
}

const FileFormat *formatNamed(const QString &name)
{
    for (const FileFormat &format : fileFormats()) {
        if (name == QLatin1String(format.name))
            return &format;
    }
    return nullptr;
}

QStringList savedSuffixes()
{
    QStringList suffixes;
    for (const FileFormat &format : fileFormats()) {
        if (!suffixes.contains(QLatin1String(format.suffix)))
            suffixes << QLatin1String(format.suffix);
    }
    return suffixes;
}

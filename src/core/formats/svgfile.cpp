// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "svgfile.h"
#include "linepicture.h"
#include "treeview.h"

#include <QBuffer>
#include <QSvgGenerator>
#include <QXmlStreamReader>

bool writeSvg(const Keeping &keeping, QByteArray *file, QString *, QString *error)
{
    QBuffer buffer(file);
    buffer.open(QIODevice::WriteOnly);
    const QSize size = keeping.view->size();
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(), size));
    // A pixel a pixel where displays have 96 of them to the inch
    svg.setResolution(96);
    svg.setTitle(QStringLiteral("Line tree"));
    svg.setDescription(keeping.parameterLine);
    return paintFrameLines(keeping.view, &svg, error);
}

// A text that merely begins with < is no SVG: its root must be an svg
// element.
Reading readSvg(const QByteArray &head, bool, QString *line, QString *)
{
    QXmlStreamReader reader(head);
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("svg"))
        return Reading::OtherFormat;
    line->clear();
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("desc")) {
            *line = reader.readElementText().trimmed();
            break;
        }
        reader.skipCurrentElement();
    }
    return Reading::Found;
}

// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "plotterfile.h"
#include "treegraph.h"
#include "treeview.h"

#include <charconv>
#include <cmath>

namespace {

// A length to a hundredth of a millimetre, finer than pens draw, written as
// the number it is: 12.3 as "12.30"
void append(QByteArray *text, double millimetres)
{
    const qint64 hundredths = std::llround(millimetres * 100);
    char digits[24];
    char *end = digits;
    if (hundredths < 0)
        *end++ = '-';
    const qint64 size = qAbs(hundredths);
    end = std::to_chars(end, digits + sizeof digits, size / 100).ptr;
    *end++ = '.';
    *end++ = char('0' + size / 10 % 10);
    *end++ = char('0' + size % 10);
    text->append(digits, int(end - digits));
}

} // namespace

// Written by hand: a tree of depth 10 has some 160,000 strokes, which Qt's
// XML writer would take seconds over.
bool writePlotterSvg(const Keeping &keeping, QByteArray *file, QString *note, QString *)
{
    const PlotterDrawing drawing
            = plotterDrawing(keeping.view->treeShape(), keeping.view->viewState(), keeping.page);
    QByteArray width;
    append(&width, keeping.page.paper.width());
    QByteArray height;
    append(&height, keeping.page.paper.height());
    QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                      "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\""
            + width + "mm\" height=\"" + height + "mm\" viewBox=\"0 0 " + width + ' ' + height
            + "\">\n<title>Line tree</title>\n<desc>"
            + keeping.parameterLine.toHtmlEscaped().toUtf8() + "</desc>\n";
    // About what a stroke takes
    text.reserve(text.size() + 48 * drawing.strokes());
    for (int level = 0; level < drawing.layers.size(); ++level) {
        text += "<g";
        if (keeping.page.layers)
            text += " inkscape:groupmode=\"layer\" inkscape:label=\"Level "
                    + QByteArray::number(level + 1) + '"';
        // The strokes take their pen from it: black, a third of a millimetre
        text += " fill=\"none\" stroke=\"black\" stroke-width=\"0.3\" stroke-linecap=\"round\" "
                "stroke-linejoin=\"round\">\n";
        for (const PlotterDrawing::Stroke &stroke : drawing.layers[level]) {
            // Where the pen goes down, then on to each point without lifting
            text += "<path d=\"M";
            for (int i = 0; i < stroke.points.size(); ++i) {
                if (i > 0)
                    text += i == 1 ? 'L' : ' ';
                append(&text, stroke.points[i].x());
                text += ',';
                append(&text, stroke.points[i].y());
            }
            text += "\"/>\n";
        }
        text += "</g>\n";
    }
    text += "</svg>\n";
    *file = text;
    *note = QStringLiteral("%1 strokes, %2 mm drawn, %3 mm of pen travel between them")
                    .arg(drawing.strokes())
                    .arg(drawing.drawn(), 0, 'f', 1)
                    .arg(drawing.travel(), 0, 'f', 1);
    return true;
}

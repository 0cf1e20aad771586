// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "picturefile.h"
#include "framelines.h"
#include "treeview.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QXmlStreamWriter>

#include <vector>

namespace {

const QString title = QStringLiteral("Line tree");
const QString software = QStringLiteral("linetree");
const QLatin1String pdfNamespace("http://ns.adobe.com/pdf/1.3/");

// Lines drawn as one path, near enough; see paintLines()
const int linesPerPath = 1000;

// To a tenth of a pixel, which keeps the SVG of a tree of depth 10 within
// the 10,000,000 bytes that librsvg reads, in a document and in an attribute
QPointF rounded(const QPointF &point)
{
    return QPointF(qRound(point.x() * 10) / 10.0, qRound(point.y() * 10) / 10.0);
}

// White lines one screen pixel wide on black, as the view draws them
bool paintLines(QPaintDevice *device, const QSize &size, const QVector<QLineF> &lines, qreal width)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    // To beyond the edges, since PDF pages measure whole points
    painter.fillRect(QRect(QPoint(-1, -1), size + QSize(2, 2)), Qt::black);
    painter.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::FlatCap));
    QPainterPath path;
    for (const QLineF &line : lines) {
        // A branch goes on from where its parent ends.
        const QPointF start = rounded(line.p1());
        if (path.isEmpty() || start != path.currentPosition()) {
            // librsvg takes time that grows with the square of a path's
            // length: 3.5 minutes for one path of depth 10, 1.7 s in paths
            // of a thousand lines.
            if (path.elementCount() >= linesPerPath) {
                painter.drawPath(path);
                path.clear();
            }
            path.moveTo(start);
        }
        path.lineTo(rounded(line.p2()));
    }
    painter.drawPath(path);
    return painter.end();
}

// Title, description and keywords in the XMP metadata, which PDF viewers show
// as the document's subject and keywords
QByteArray xmpMetadata(const QString &parameterLine)
{
    QByteArray xmp;
    QXmlStreamWriter writer(&xmp);
    writer.setAutoFormatting(true);
    writer.writeProcessingInstruction("xpacket", "begin='' id='W5M0MpCehiHzreSzNTczkc9d'");
    writer.writeNamespace("adobe:ns:meta/", "x");
    writer.writeNamespace("http://www.w3.org/1999/02/22-rdf-syntax-ns#", "rdf");
    writer.writeNamespace("http://purl.org/dc/elements/1.1/", "dc");
    writer.writeNamespace(pdfNamespace, "pdf");
    writer.writeNamespace("http://ns.adobe.com/xap/1.0/", "xmp");
    writer.writeStartElement("adobe:ns:meta/", "xmpmeta");
    writer.writeStartElement("http://www.w3.org/1999/02/22-rdf-syntax-ns#", "RDF");
    writer.writeStartElement("http://www.w3.org/1999/02/22-rdf-syntax-ns#", "Description");
    writer.writeAttribute("http://www.w3.org/1999/02/22-rdf-syntax-ns#", "about", "");
    for (const auto &[name, text] : {std::pair {"title", title}, {"description", parameterLine}}) {
        writer.writeStartElement("http://purl.org/dc/elements/1.1/", name);
        writer.writeStartElement("http://www.w3.org/1999/02/22-rdf-syntax-ns#", "Alt");
        writer.writeStartElement("http://www.w3.org/1999/02/22-rdf-syntax-ns#", "li");
        writer.writeAttribute("xml:lang", "x-default");
        writer.writeCharacters(text);
        writer.writeEndElement();
        writer.writeEndElement();
        writer.writeEndElement();
    }
    writer.writeTextElement(pdfNamespace, "Keywords", parameterLine);
    writer.writeTextElement("http://ns.adobe.com/xap/1.0/", "CreatorTool", software);
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeProcessingInstruction("xpacket", "end='w'");
    return xmp;
}

bool writeVectors(TreeView *view, QIODevice *file, const QString &format,
                  const QString &parameterLine, QString *error)
{
    const QSize size = view->size();
    QVector<QLineF> lines;
    if (!frameLines(view, &lines)) {
        *error = QStringLiteral("OpenGL did not hand back every line of the picture");
        return false;
    }
    const qreal width = 1 / view->devicePixelRatioF();
    const auto drawn = [&](QPaintDevice *device) {
        if (paintLines(device, size, lines, width))
            return true;
        *error = QStringLiteral("the picture could not be drawn");
        return false;
    };
    if (format == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(), size));
        // A pixel a pixel where displays have 96 of them to the inch
        svg.setResolution(96);
        svg.setTitle(title);
        svg.setDescription(parameterLine);
        return drawn(&svg);
    }
    QPdfWriter pdf(file);
    pdf.setResolution(96);
    // The view's size exactly, never the paper size nearest to it
    pdf.setPageLayout(QPageLayout(
            QPageSize(QSizeF(size) / 96, QPageSize::Inch, QString(), QPageSize::ExactMatch),
            QPageLayout::Portrait, QMarginsF()));
    pdf.setTitle(title);
    pdf.setCreator(software);
    pdf.setDocumentXmpMetadata(xmpMetadata(parameterLine));
    return drawn(&pdf);
}

} // namespace

bool renderPicture(TreeView *view, const QString &format, const QString &parameterLine,
                   QByteArray *picture, QString *error)
{
    QBuffer buffer(picture);
    buffer.open(QIODevice::WriteOnly);
    if (format != QLatin1String("png"))
        return writeVectors(view, &buffer, format, parameterLine, error);
    const QImage frame = view->grabFrame();
    if (frame.size() != view->size() * view->devicePixelRatioF()) {
        *error = QStringLiteral("the picture could not be drawn whole at %1x%2 pixels")
                         .arg(frame.width())
                         .arg(frame.height());
        return false;
    }
    QImageWriter png(&buffer, "png");
    png.setText(QStringLiteral("Title"), title);
    png.setText(QStringLiteral("Description"), parameterLine);
    png.setText(QStringLiteral("Software"), software);
    if (png.write(frame.convertToFormat(QImage::Format_RGB32)))
        return true;
    *error = png.errorString();
    return false;
}

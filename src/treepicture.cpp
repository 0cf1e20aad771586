// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "treepicture.h"
#include "openglbaumzeiger.h"
#include "treeparameters.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <vector>

namespace {

const QString title = QStringLiteral("Line tree");
const QString software = QStringLiteral("linetree");
const QLatin1String pdfNamespace("http://ns.adobe.com/pdf/1.3/");

// Parameter lines and the metadata of linetree's pictures stand at their
// start: no more of a file is read than this.
const qint64 headSize = 64 * 1024;

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

bool writeVectors(OpenGLBaumZeiger *view, QIODevice *file, const QString &format,
                  const QString &parameterLine)
{
    const QSize size = view->size();
    const QVector<QLineF> lines = frameLines(view);
    const qreal width = 1 / view->devicePixelRatioF();
    if (format == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(), size));
        // A pixel a pixel where displays have 96 of them to the inch
        svg.setResolution(96);
        svg.setTitle(title);
        svg.setDescription(parameterLine);
        return paintLines(&svg, size, lines, width);
    }
    QPdfWriter pdf(file);
    pdf.setResolution(96);
    pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(size) / 96, QPageSize::Inch),
                                  QPageLayout::Portrait, QMarginsF()));
    pdf.setTitle(title);
    pdf.setCreator(software);
    pdf.setDocumentXmpMetadata(xmpMetadata(parameterLine));
    return paintLines(&pdf, size, lines, width);
}

// An SVG's description: an element of its root
QString svgDescription(const QByteArray &head)
{
    QXmlStreamReader reader(head);
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("svg"))
        return QString();
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("desc"))
            return reader.readElementText();
        reader.skipCurrentElement();
    }
    return QString();
}

// A PDF's keywords in its XMP metadata
QString pdfKeywords(const QByteArray &head)
{
    const int start = head.indexOf("<x:xmpmeta");
    const QByteArray end = "</x:xmpmeta>";
    const int last = head.indexOf(end, start);
    if (start < 0 || last < 0)
        return QString();
    QXmlStreamReader reader(head.mid(start, last + end.size() - start));
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement
            && reader.namespaceUri() == pdfNamespace && reader.name() == QLatin1String("Keywords"))
            return reader.readElementText();
    }
    return QString();
}

// A write that ends short, as on a full disk, says nothing of why: the rest
// is written again, which then fails at once and tells.
bool writeAll(QSaveFile *file, const QByteArray &data)
{
    for (qint64 done = 0; done < data.size();) {
        const qint64 written = file->write(data.constData() + done, data.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

QVector<QLineF> frameLines(OpenGLBaumZeiger *view)
{
    // A line token and the window x and y of both ends for each segment.
    // Clipping drops lines or shortens them, but never adds any.
    int segments = 0;
    for (int level = 0, onLevel = 1; level < view->gebeRekTiefe(); ++level, onLevel *= 4)
        segments += onLevel;
    std::vector<GLfloat> buffer(5 * size_t(segments) + 1);
    view->makeCurrent();
    glFeedbackBuffer(GLsizei(buffer.size()), GL_2D, buffer.data());
    const GLint values = feedbackFrame(view);

    // From the framebuffer's pixels, y growing up, to the view's
    const qreal ratio = view->devicePixelRatioF();
    const qreal height = view->height();
    QVector<QLineF> lines;
    lines.reserve(values / 5);
    for (GLint i = 0; i + 5 <= values; i += 5) {
        lines.append(QLineF(buffer[i + 1] / ratio, height - buffer[i + 2] / ratio,
                            buffer[i + 3] / ratio, height - buffer[i + 4] / ratio));
    }
    return lines;
}

bool savePicture(OpenGLBaumZeiger *view, const QString &fileName, const QString &parameterLine,
                 QString *error)
{
    const QString format = QFileInfo(fileName).suffix().toLower();
    if (format != QLatin1String("png") && format != QLatin1String("svg")
        && format != QLatin1String("pdf")) {
        *error = QStringLiteral("linetree saves PNG, SVG and PDF pictures, and the name ends in "
                                "none of .png, .svg and .pdf");
        return false;
    }
    // Unbuffered, so that each write reaches the file at once and says how
    // much of it did
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    QByteArray picture;
    QBuffer buffer(&picture);
    buffer.open(QIODevice::WriteOnly);
    if (format == QLatin1String("png")) {
        QImageWriter png(&buffer, "png");
        png.setText(QStringLiteral("Title"), title);
        png.setText(QStringLiteral("Description"), parameterLine);
        png.setText(QStringLiteral("Software"), software);
        if (!png.write(grabFrame(view).convertToFormat(QImage::Format_RGB32))) {
            *error = png.errorString();
            return false;
        }
    } else if (!writeVectors(view, &buffer, format, parameterLine)) {
        *error = QStringLiteral("the picture could not be drawn");
        return false;
    }
    // Without the commit the file written so far is removed, and the old one
    // stays.
    if (writeAll(&file, picture) && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

bool readParameterText(const QString &fileName, QString *line, QString *error)
{
    // A pipe or a device might never end, or never answer.
    const QFileInfo info(fileName);
    if (!info.isFile()) {
        *error = info.exists() ? QStringLiteral("it is not a file")
                               : QStringLiteral("it does not exist");
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("it cannot be read: %1").arg(file.errorString());
        return false;
    }
    const QByteArray head = file.read(headSize);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("it cannot be read: %1").arg(file.errorString());
        return false;
    }
    if (head.startsWith("\x89PNG\r\n\x1a\n")) {
        // The text comes before the image data, and Qt reads only as far.
        file.seek(0);
        *line = QImageReader(&file, "png").text(QStringLiteral("Description"));
    } else if (head.startsWith("%PDF-")) {
        *line = pdfKeywords(head);
    } else if (head.trimmed().startsWith('<') || head.startsWith("\xef\xbb\xbf<")) {
        *line = svgDescription(head);
    } else if (head.contains('\0') || QString::fromUtf8(head).toUtf8() != head) {
        *error = QStringLiteral("it is neither a linetree picture nor text");
        return false;
    } else if (file.size() > headSize) {
        *error = QStringLiteral("at %1 KiB it is too large for a text with a parameter line")
                         .arg(file.size() / 1024);
        return false;
    } else {
        *line = findParameterLine(QString::fromUtf8(head));
    }
    if (line->isEmpty()) {
        *error = QStringLiteral("it holds no linetree parameters");
        return false;
    }
    return true;
}

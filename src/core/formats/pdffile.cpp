// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "pdffile.h"
#include "linepicture.h"
#include "treeview.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QString title = QStringLiteral("Line tree");
const QString software = QStringLiteral("linetree");
const QLatin1String rdf("http://www.w3.org/1999/02/22-rdf-syntax-ns#");
const QLatin1String dc("http://purl.org/dc/elements/1.1/");
const QLatin1String pdfNamespace("http://ns.adobe.com/pdf/1.3/");
const QLatin1String xmpNamespace("http://ns.adobe.com/xap/1.0/");

// Title, description and keywords in the XMP metadata
QByteArray xmpMetadata(const QString &parameterLine)
{
    QByteArray xmp;
    QXmlStreamWriter writer(&xmp);
    writer.setAutoFormatting(true);
    writer.writeProcessingInstruction("xpacket", "begin='' id='W5M0MpCehiHzreSzNTczkc9d'");
    writer.writeNamespace("adobe:ns:meta/", "x");
    writer.writeNamespace(rdf, "rdf");
    writer.writeNamespace(dc, "dc");
    writer.writeNamespace(pdfNamespace, "pdf");
    writer.writeNamespace(xmpNamespace, "xmp");
    writer.writeStartElement("adobe:ns:meta/", "xmpmeta");
    writer.writeStartElement(rdf, "RDF");
    writer.writeStartElement(rdf, "Description");
    writer.writeAttribute(rdf, "about", "");
    for (const auto &[name, text] : {std::pair {"title", title}, {"description", parameterLine}}) {
        writer.writeStartElement(dc, name);
        writer.writeStartElement(rdf, "Alt");
        writer.writeStartElement(rdf, "li");
        writer.writeAttribute("xml:lang", "x-default");
        writer.writeCharacters(text);
        writer.writeEndElement();
        writer.writeEndElement();
        writer.writeEndElement();
    }
    writer.writeTextElement(pdfNamespace, "Keywords", parameterLine);
    writer.writeTextElement(xmpNamespace, "CreatorTool", software);
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeProcessingInstruction("xpacket", "end='w'");
    return xmp;
}

} // namespace

bool writePdf(const Keeping &keeping, QByteArray *file, QString *, QString *error)
{
    QBuffer buffer(file);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(96);
    // The view's size exactly, never the paper size nearest to it
    pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(keeping.view->size()) / 96, QPageSize::Inch,
                                            QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF()));
    pdf.setTitle(title);
    pdf.setCreator(software);
    pdf.setDocumentXmpMetadata(xmpMetadata(keeping.parameterLine));
    return paintFrameLines(keeping.view, &pdf, error);
}

Reading readPdf(const QByteArray &head, bool, QString *line, QString *)
{
    if (!head.startsWith("%PDF-"))
        return Reading::OtherFormat;
    line->clear();
    const int start = head.indexOf("<x:xmpmeta");
    const QByteArray end = "</x:xmpmeta>";
    const int last = head.indexOf(end, start);
    if (start < 0 || last < 0)
        return Reading::Found;
    QXmlStreamReader reader(head.mid(start, last + end.size() - start));
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement
            && reader.namespaceUri() == pdfNamespace
            && reader.name() == QLatin1String("Keywords")) {
            *line = reader.readElementText().trimmed();
            break;
        }
    }
    return Reading::Found;
}

// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "parameterfile.h"
#include "treeparameters.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <QtEndian>

#include <zlib.h>

namespace {

// A parameter line takes under 200 bytes; a compressed text that inflates
// beyond this is none.
const uLong inflatedSize = 1024;

// What reading a PNG's texts found
enum class PngText { Found, None, CutShort, BeyondHead, TooLarge, Damaged };

// A zlib stream inflated to at most inflatedSize bytes
PngText inflated(const QByteArray &compressed, QByteArray *text)
{
    text->resize(int(inflatedSize) + 1);
    uLongf size = uLongf(text->size());
    const int result = uncompress(reinterpret_cast<Bytef *>(text->data()), &size,
                                  reinterpret_cast<const Bytef *>(compressed.constData()),
                                  uLong(compressed.size()));
    text->resize(int(size));
    if (result == Z_BUF_ERROR && size > inflatedSize)
        return PngText::TooLarge;
    return result == Z_OK ? PngText::Found : PngText::Damaged;
}

// A text chunk's Description, Latin-1 in tEXt and zTXt, UTF-8 in iTXt, where
// zTXt is always compressed and iTXt says whether it is
PngText description(const QByteArray &type, const QByteArray &data, QString *text)
{
    const int keyEnd = data.indexOf('\0');
    if (keyEnd < 0 || data.left(keyEnd) != "Description")
        return PngText::None;
    int at = keyEnd + 1;
    bool compressed = type == "zTXt";
    if (type == "iTXt") {
        compressed = data.mid(at, 1) == "\x01";
        const int language = data.indexOf('\0', at + 2);
        const int translated = language < 0 ? -1 : data.indexOf('\0', language + 1);
        if (translated < 0)
            return PngText::Damaged;
        at = translated + 1;
    } else if (compressed) {
        ++at; // the compression method
    }
    QByteArray bytes = data.mid(at);
    if (compressed) {
        const PngText inflating = inflated(QByteArray(bytes), &bytes);
        if (inflating != PngText::Found)
            return inflating;
    }
    *text = type == "iTXt" ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    return PngText::Found;
}

// The Description among the texts that come before a PNG's image data, as
// linetree writes them, from as much of the file as `head` holds
PngText pngDescription(const QByteArray &head, bool whole, QString *text)
{
    for (qint64 at = 8; at + 8 <= head.size();) {
        const quint32 length = qFromBigEndian<quint32>(head.constData() + at);
        const QByteArray type = head.mid(int(at) + 4, 4);
        if (type == "IDAT" || type == "IEND")
            return PngText::None;
        const bool isText = type == "tEXt" || type == "zTXt" || type == "iTXt";
        const qint64 end = at + 12 + length;
        if (end > head.size()) {
            if (whole)
                return PngText::CutShort;
            return isText ? PngText::BeyondHead : PngText::None;
        }
        if (isText) {
            const QByteArray data = head.mid(int(at) + 8, int(length));
            const uLong crc = crc32(crc32(0, reinterpret_cast<const Bytef *>(type.constData()), 4),
                                    reinterpret_cast<const Bytef *>(data.constData()), length);
            if (crc != qFromBigEndian<quint32>(head.constData() + end - 4))
                return PngText::Damaged;
            const PngText found = description(type, data, text);
            if (found != PngText::None)
                return found;
        }
        at = end;
    }
    return whole ? PngText::CutShort : PngText::None;
}

// An SVG's description, an element of its root; false where the root is no
// svg element
bool svgDescription(const QByteArray &head, QString *text)
{
    QXmlStreamReader reader(head);
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("svg"))
        return false;
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("desc")) {
            *text = reader.readElementText();
            break;
        }
        reader.skipCurrentElement();
    }
    return true;
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
            && reader.namespaceUri() == QLatin1String("http://ns.adobe.com/pdf/1.3/")
            && reader.name() == QLatin1String("Keywords"))
            return reader.readElementText();
    }
    return QString();
}

// A binary glTF's parameter line, in the extras of its asset, from the JSON
// chunk that comes first
bool glbLine(const QByteArray &head, bool whole, QString *line, QString *error)
{
    const quint32 length
            = head.size() >= 20 ? qFromLittleEndian<quint32>(head.constData() + 12) : 0;
    if (head.size() < 20 || head.mid(16, 4) != "JSON") {
        *error = whole ? QStringLiteral("it is cut short") : QStringLiteral("it is damaged");
        return false;
    }
    if (20 + qint64(length) > head.size()) {
        *error = whole ? QStringLiteral("it is cut short")
                       : QStringLiteral("its glTF description runs past the first %1 KiB, which "
                                        "is all that linetree reads")
                                 .arg(parameterHeadSize / 1024);
        return false;
    }
    const QJsonObject asset = QJsonDocument::fromJson(head.mid(20, int(length)))
                                      .object()
                                      .value(QLatin1String("asset"))
                                      .toObject();
    *line = asset.value(QLatin1String("extras"))
                    .toObject()
                    .value(QLatin1String("linetree"))
                    .toString()
                    .trimmed();
    if (line->isEmpty()) {
        *error = QStringLiteral("it is a glTF model that linetree did not write");
        return false;
    }
    return true;
}

// The comments that a Wavefront OBJ model starts with, as far as `head` holds
// them; false where its first statement is none of the format's
bool objComments(const QByteArray &head, QString *comments)
{
    static const QByteArrayList statements {"v", "vt", "vn", "vp", "f",      "l",
                                            "p", "o",  "g",  "s",  "mtllib", "usemtl"};
    comments->clear();
    for (const QByteArray &line : head.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('#'))
            *comments += QString::fromUtf8(trimmed.mid(1)) + '\n';
        else if (!trimmed.isEmpty())
            return statements.contains(trimmed.split(' ').value(0).split('\t').value(0));
    }
    return false;
}

// A text in UTF-16 with its byte order mark, or in UTF-8 with one or
// without; false where the bytes are none of these, or hold a NUL
bool decodedText(QByteArray bytes, QString *text)
{
    const bool littleEndian = bytes.startsWith("\xff\xfe");
    if (littleEndian || bytes.startsWith("\xfe\xff")) {
        if (bytes.size() % 2 != 0)
            return false;
        text->clear();
        for (int i = 2; i < bytes.size(); i += 2) {
            const auto pair = reinterpret_cast<const uchar *>(bytes.constData() + i);
            *text += QChar(littleEndian ? qFromLittleEndian<quint16>(pair)
                                        : qFromBigEndian<quint16>(pair));
        }
    } else {
        if (bytes.startsWith("\xef\xbb\xbf"))
            bytes.remove(0, 3);
        *text = QString::fromUtf8(bytes);
        if (text->toUtf8() != bytes)
            return false;
    }
    return !text->contains(QChar(0));
}

} // namespace

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
    const QByteArray head = file.read(parameterHeadSize);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("it cannot be read: %1").arg(file.errorString());
        return false;
    }
    return readParameterHead(head, file.atEnd(), file.size(), line, error);
}

bool readParameterHead(const QByteArray &head, bool whole, qint64 size, QString *line,
                       QString *error)
{
    QString text;
    if (head.startsWith("\x89PNG\r\n\x1a\n")) {
        switch (pngDescription(head, whole, &text)) {
        case PngText::Found:
            *line = text.trimmed();
            break;
        case PngText::None:
            break;
        case PngText::CutShort:
            *error = QStringLiteral("it is cut short");
            return false;
        case PngText::BeyondHead:
            *error = QStringLiteral("a text in it runs past the first %1 KiB, which is all that "
                                    "linetree reads")
                             .arg(parameterHeadSize / 1024);
            return false;
        case PngText::TooLarge:
            *error = QStringLiteral("a compressed text in it inflates to more than %1 bytes")
                             .arg(inflatedSize);
            return false;
        case PngText::Damaged:
            *error = QStringLiteral("it is damaged");
            return false;
        }
    } else if (head.startsWith("%PDF-")) {
        *line = pdfKeywords(head);
    } else if (head.startsWith("glTF")) {
        return glbLine(head, whole, line, error);
    } else if (svgDescription(head, &text)) {
        *line = text.trimmed();
    } else if (objComments(head, &text)) {
        *line = findParameterLine(text);
        if (line->isEmpty()) {
            *error = QStringLiteral("it is an OBJ model that linetree did not write");
            return false;
        }
    } else if (!whole) {
        *error = head.contains('\0') && !head.startsWith("\xff\xfe") && !head.startsWith("\xfe\xff")
                ? QStringLiteral("it is neither a linetree picture nor text")
                : size < 0 ? QStringLiteral("it is too large for a text with a parameter line")
                           : QStringLiteral("at %1 KiB it is too large for a text with a parameter "
                                            "line")
                                     .arg(size / 1024);
        return false;
    } else if (!decodedText(head, &text)) {
        *error = QStringLiteral("it is neither a linetree picture nor text");
        return false;
    } else {
        *line = findParameterLine(text);
    }
    if (line->isEmpty()) {
        *error = QStringLiteral("it holds no linetree parameters");
        return false;
    }
    return true;
}

// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "pngfile.h"
#include "parameterfile.h"
#include "treeview.h"

#include <QBuffer>
#include <QImageWriter>
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

} // namespace

bool writePng(const Keeping &keeping, QByteArray *file, QString *, QString *error)
{
    TreeView *view = keeping.view;
    const QImage frame = view->grabFrame();
    if (frame.size() != view->size() * view->devicePixelRatioF()) {
        *error = QStringLiteral("the picture could not be drawn whole at %1x%2 pixels")
                         .arg(frame.width())
                         .arg(frame.height());
        return false;
    }
    QBuffer buffer(file);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter png(&buffer, "png");
    png.setText(QStringLiteral("Title"), QStringLiteral("Line tree"));
    png.setText(QStringLiteral("Description"), keeping.parameterLine);
    png.setText(QStringLiteral("Software"), QStringLiteral("linetree"));
    if (png.write(frame.convertToFormat(QImage::Format_RGB32)))
        return true;
    *error = png.errorString();
    return false;
}

Reading readPng(const QByteArray &head, bool whole, QString *line, QString *error)
{
    if (!head.startsWith("\x89PNG\r\n\x1a\n"))
        return Reading::OtherFormat;
    QString text;
    switch (pngDescription(head, whole, &text)) {
    case PngText::Found:
        *line = text.trimmed();
        return Reading::Found;
    case PngText::None:
        *line = QString();
        return Reading::Found;
    case PngText::CutShort:
        *error = QStringLiteral("it is cut short");
        break;
    case PngText::BeyondHead:
        *error = QStringLiteral("a text in it runs past the first %1 KiB, which is all that "
                                "linetree reads")
                         .arg(parameterHeadSize / 1024);
        break;
    case PngText::TooLarge:
        *error = QStringLiteral("a compressed text in it inflates to more than %1 bytes")
                         .arg(inflatedSize);
        break;
    case PngText::Damaged:
        *error = QStringLiteral("it is damaged");
        break;
    }
    return Reading::Failed;
}

// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "parameterfile.h"
#include "fileformats.h"
#include "treeparameters.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

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
    const auto holdsLine = [line, error] {
        if (line->isEmpty())
            *error = QStringLiteral("it holds no linetree parameters");
        return !line->isEmpty();
    };
    // Each format knows its own, and takes the head or leaves it.
    for (const FileFormat &format : fileFormats()) {
        const Reading reading
                = format.read ? format.read(head, whole, line, error) : Reading::OtherFormat;
        if (reading != Reading::OtherFormat)
            return reading == Reading::Found && holdsLine();
    }
    QString text;
    if (!whole) {
        *error = head.contains('\0') && !head.startsWith("\xff\xfe") && !head.startsWith("\xfe\xff")
                ? QStringLiteral("it is neither a linetree picture nor text")
                : size < 0 ? QStringLiteral("it is too large for a text with a parameter line")
                           : QStringLiteral("at %1 KiB it is too large for a text with a parameter "
                                            "line")
                                     .arg(size / 1024);
        return false;
    }
    if (!decodedText(head, &text)) {
        *error = QStringLiteral("it is neither a linetree picture nor text");
        return false;
    }
    *line = findParameterLine(text);
    return holdsLine();
}

// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "savefile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

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

bool saveTree(const Keeping &keeping, const QString &fileName, const FileFormat *format,
              QString *note, QString *error)
{
    const QFileInfo info(fileName);
    // A link to a device, a pipe or a folder would be replaced, or written
    // through; and /dev holds devices only.
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (info.exists() && !info.isFile()) {
        *error = QStringLiteral("it is there, and not a file");
        return false;
    }
    if (folder == QLatin1String("/dev") || folder.startsWith(QLatin1String("/dev/"))) {
        *error = QStringLiteral("linetree writes no file among the devices in /dev");
        return false;
    }
    if (!format)
        format = formatOfName(fileName);
    if (!format) {
        *error = QStringLiteral("linetree saves PNG, SVG and PDF pictures and OBJ and GLB models, "
                                "and the name ends in none of .%1")
                         .arg(savedSuffixes().join(QLatin1String(", .")));
        return false;
    }
    // Unbuffered, so that each write reaches the file at once and says how
    // much of it did
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    QByteArray contents;
    QString told;
    if (!format->write(keeping, &contents, &told, error))
        return false;
    // Without the commit the file written so far is removed, and the old one
    // stays.
    if (writeAll(&file, contents) && file.commit()) {
        if (note)
            *note = told;
        return true;
    }
    *error = file.errorString();
    return false;
}

// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "objfile.h"
#include "treegraph.h"
#include "treeparameters.h"
#include "treeview.h"

#include <charconv>

namespace {

// The shortest decimal that reads back as the very same number
template<typename Number> void append(QByteArray *text, Number number)
{
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    text->append(digits, int(result.ptr - digits));
}

} // namespace

bool writeObj(const Keeping &keeping, QByteArray *file, QString *, QString *)
{
    const TreeGraph graph = keeping.view->treeShape();
    QByteArray text = "# " + keeping.parameterLine.toUtf8()
            + "\n# linetree " LINETREE_VERSION ": the tree, a line element for each segment, "
              "Y up\ng tree\n";
    // About what a joint and a segment take at depth 10
    text.reserve(text.size() + graph.joints.size() * 40 + graph.segments.size() * 16);
    for (const QVector3D &joint : std::as_const(graph.joints)) {
        text += "v ";
        append(&text, joint.x());
        text += ' ';
        append(&text, joint.y());
        text += ' ';
        append(&text, joint.z());
        text += '\n';
    }
    // Counted from 1
    for (const auto &[start, end] : std::as_const(graph.segments)) {
        text += "l ";
        append(&text, start + 1);
        text += ' ';
        append(&text, end + 1);
        text += '\n';
    }
    *file = text;
    return true;
}

// The comments as far as the head holds them, where the first statement is
// one of the format's
Reading readObj(const QByteArray &head, bool, QString *line, QString *error)
{
    static const QByteArrayList statements {"v", "vt", "vn", "vp", "f",      "l",
                                            "p", "o",  "g",  "s",  "mtllib", "usemtl"};
    QString comments;
    for (const QByteArray &text : head.split('\n')) {
        const QByteArray trimmed = text.trimmed();
        if (trimmed.startsWith('#')) {
            comments += QString::fromUtf8(trimmed.mid(1)) + '\n';
        } else if (!trimmed.isEmpty()) {
            if (!statements.contains(trimmed.split(' ').value(0).split('\t').value(0)))
                return Reading::OtherFormat;
            *line = findParameterLine(comments);
            if (!line->isEmpty())
                return Reading::Found;
            *error = QStringLiteral("it is an OBJ model that linetree did not write");
            return Reading::Failed;
        }
    }
    return Reading::OtherFormat;
}

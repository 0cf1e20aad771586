// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "glbfile.h"
#include "parameterfile.h"
#include "treegraph.h"
#include "treeview.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <limits>

namespace {

const QLatin1String generator("linetree " LINETREE_VERSION);

// A chunk of a binary glTF, padded to whole words
QByteArray chunk(const char *type, QByteArray data, char padding)
{
    data.append(QByteArray((4 - data.size() % 4) % 4, padding));
    QByteArray header(8, '\0');
    qToLittleEndian<quint32>(quint32(data.size()), header.data());
    header.replace(4, 4, type, 4);
    return header + data;
}

QByteArray glb(const TreeGraph &graph, const QString &parameterLine)
{
    // The joints' x, y and z, then each segment's two joints
    const int jointBytes = graph.joints.size() * 3 * 4;
    const int segmentBytes = graph.segments.size() * 2 * 4;
    QByteArray data(jointBytes + segmentBytes, '\0');
    float lowest[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                       std::numeric_limits<float>::max()};
    float highest[3] = {std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(),
                        std::numeric_limits<float>::lowest()};
    char *at = data.data();
    for (const QVector3D &joint : graph.joints) {
        for (int axis = 0; axis < 3; ++axis) {
            qToLittleEndian<float>(joint[axis], at);
            at += 4;
            lowest[axis] = qMin(lowest[axis], joint[axis]);
            highest[axis] = qMax(highest[axis], joint[axis]);
        }
    }
    for (const auto &[start, end] : graph.segments) {
        qToLittleEndian<quint32>(quint32(start), at);
        qToLittleEndian<quint32>(quint32(end), at + 4);
        at += 8;
    }
    const auto vector = [](const float(&xyz)[3]) { return QJsonArray {xyz[0], xyz[1], xyz[2]}; };
    QJsonObject positions {{"bufferView", 0},
                           {"componentType", 5126}, // float
                           {"count", graph.joints.size()},
                           {"type", "VEC3"}};
    // Required of positions, and where there are none, there is no bound
    if (!graph.joints.isEmpty()) {
        positions.insert("min", vector(lowest));
        positions.insert("max", vector(highest));
    }
    // One node of one mesh of one primitive of lines, in white
    const QJsonObject primitive {{"attributes", QJsonObject {{"POSITION", 0}}},
                                 {"indices", 1},
                                 {"material", 0},
                                 {"mode", 1}}; // LINES
    const QJsonObject material {
            {"name", "linetree"},
            {"pbrMetallicRoughness",
             QJsonObject {{"baseColorFactor", QJsonArray {1, 1, 1, 1}}, {"metallicFactor", 0}}}};
    const QJsonObject segments {{"bufferView", 1},
                                {"componentType", 5125}, // unsigned int
                                {"count", graph.segments.size() * 2},
                                {"type", "SCALAR"}};
    const QJsonObject jointView {
            {"buffer", 0}, {"byteOffset", 0}, {"byteLength", jointBytes}, {"target", 34962}};
    const QJsonObject segmentView {{"buffer", 0},
                                   {"byteOffset", jointBytes},
                                   {"byteLength", segmentBytes},
                                   {"target", 34963}};
    const QJsonObject asset {{"version", "2.0"},
                             {"generator", generator},
                             {"extras", QJsonObject {{"linetree", parameterLine}}}};
    const QJsonObject buffer {{"byteLength", data.size()}};
    const QJsonObject json {
            {"asset", asset},
            {"scene", 0},
            {"scenes", QJsonArray {QJsonObject {{"nodes", QJsonArray {0}}}}},
            {"nodes", QJsonArray {QJsonObject {{"mesh", 0}, {"name", "linetree"}}}},
            {"materials", QJsonArray {material}},
            {"meshes",
             QJsonArray {QJsonObject {{"name", "tree"}, {"primitives", QJsonArray {primitive}}}}},
            {"accessors", QJsonArray {positions, segments}},
            {"bufferViews", QJsonArray {jointView, segmentView}},
            {"buffers", QJsonArray {buffer}}};
    const QByteArray chunks = chunk("JSON", QJsonDocument(json).toJson(QJsonDocument::Compact), ' ')
            + chunk("BIN\0", data, '\0');
    QByteArray header(12, '\0');
    header.replace(0, 4, "glTF");
    qToLittleEndian<quint32>(2, header.data() + 4);
    qToLittleEndian<quint32>(quint32(12 + chunks.size()), header.data() + 8);
    return header + chunks;
}

} // namespace

bool writeGlb(const Keeping &keeping, QByteArray *file, QString *, QString *)
{
    const TreeGraph graph = keeping.view->treeShape();
    *file = glb(graph, keeping.parameterLine);
    return true;
}

Reading readGlb(const QByteArray &head, bool whole, QString *line, QString *error)
{
    if (!head.startsWith("glTF"))
        return Reading::OtherFormat;
    const quint32 length
            = head.size() >= 20 ? qFromLittleEndian<quint32>(head.constData() + 12) : 0;
    if (head.size() < 20 || head.mid(16, 4) != "JSON") {
        *error = whole ? QStringLiteral("it is cut short") : QStringLiteral("it is damaged");
        return Reading::Failed;
    }
    if (20 + qint64(length) > head.size()) {
        *error = whole ? QStringLiteral("it is cut short")
                       : QStringLiteral("its glTF description runs past the first %1 KiB, which "
                                        "is all that linetree reads")
                                 .arg(parameterHeadSize / 1024);
        return Reading::Failed;
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
    if (!line->isEmpty())
        return Reading::Found;
    *error = QStringLiteral("it is a glTF model that linetree did not write");
    return Reading::Failed;
}

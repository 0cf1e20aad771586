// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "modelfile.h"
#include "treegraph.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <assimp/Exporter.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>

namespace {

// One mesh of lines in one node, in white
void fill(aiScene *scene, const TreeGraph &graph)
{
    scene->mRootNode = new aiNode("linetree");
    scene->mRootNode->mNumMeshes = 1;
    scene->mRootNode->mMeshes = new unsigned[1] {0};
    auto *material = new aiMaterial;
    const aiString name("linetree");
    material->AddProperty(&name, AI_MATKEY_NAME);
    const aiColor3D white(1, 1, 1);
    material->AddProperty(&white, 1, AI_MATKEY_COLOR_DIFFUSE);
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial *[1] { material };

    auto *mesh = new aiMesh;
    scene->mNumMeshes = 1;
    scene->mMeshes = new aiMesh *[1] { mesh };
    mesh->mName = "tree";
    mesh->mPrimitiveTypes = aiPrimitiveType_LINE;
    mesh->mNumVertices = unsigned(graph.joints.size());
    mesh->mVertices = new aiVector3D[mesh->mNumVertices];
    for (int i = 0; i < graph.joints.size(); ++i) {
        const QVector3D &joint = graph.joints[i];
        mesh->mVertices[i] = aiVector3D(joint.x(), joint.y(), joint.z());
    }
    mesh->mNumFaces = unsigned(graph.segments.size());
    mesh->mFaces = new aiFace[mesh->mNumFaces];
    for (int i = 0; i < graph.segments.size(); ++i) {
        aiFace &face = mesh->mFaces[i];
        face.mNumIndices = 2;
        face.mIndices = new unsigned[2] {unsigned(graph.segments[i].first),
                                         unsigned(graph.segments[i].second)};
    }
}

// The JSON chunk of a binary glTF, which comes first, and the chunks after it
bool splitGlb(const QByteArray &glb, QJsonObject *json, QByteArray *rest)
{
    if (glb.size() < 20 || !glb.startsWith("glTF"))
        return false;
    const quint32 length = qFromLittleEndian<quint32>(glb.constData() + 12);
    if (glb.mid(16, 4) != "JSON" || 20 + qint64(length) > glb.size())
        return false;
    const QJsonDocument document = QJsonDocument::fromJson(glb.mid(20, int(length)));
    *json = document.object();
    *rest = glb.mid(20 + int(length));
    return document.isObject();
}

// Padded with blanks to whole words, as the format asks
QByteArray joinGlb(const QJsonObject &json, const QByteArray &rest)
{
    QByteArray text = QJsonDocument(json).toJson(QJsonDocument::Compact);
    text.append(QByteArray((4 - text.size() % 4) % 4, ' '));
    QByteArray glb(20, '\0');
    glb.replace(0, 4, "glTF");
    qToLittleEndian<quint32>(2, glb.data() + 4);
    qToLittleEndian<quint32>(quint32(20 + text.size() + rest.size()), glb.data() + 8);
    qToLittleEndian<quint32>(quint32(text.size()), glb.data() + 12);
    glb.replace(16, 4, "JSON");
    return glb + text + rest;
}

// linetree's name and line in the asset; the extensions that Assimp names
// go where the model uses none
bool signGlb(QByteArray *glb, const QString &parameterLine)
{
    QJsonObject json;
    QByteArray rest;
    if (!splitGlb(*glb, &json, &rest))
        return false;
    QJsonObject asset = json.value(QLatin1String("asset")).toObject();
    asset.insert(QLatin1String("generator"),
                 QStringLiteral("linetree " LINETREE_VERSION " with Assimp"));
    asset.insert(QLatin1String("extras"),
                 QJsonObject {{QStringLiteral("linetree"), parameterLine}});
    json.insert(QLatin1String("asset"), asset);
    QJsonObject used = json;
    used.remove(QLatin1String("extensionsUsed"));
    if (!QJsonDocument(used).toJson().contains("\"extensions\""))
        json = used;
    *glb = joinGlb(json, rest);
    return true;
}

} // namespace

bool renderModel(const TreeGraph &graph, const QString &format, const QString &parameterLine,
                 QByteArray *model, QString *error)
{
    aiScene scene;
    fill(&scene, graph);
    Assimp::Exporter exporter;
    const bool obj = format == QLatin1String("obj");
    const aiExportDataBlob *blob = exporter.ExportToBlob(&scene, obj ? "objnomtl" : "glb2");
    if (!blob) {
        *error = QStringLiteral("Assimp cannot write it: %1")
                         .arg(QString::fromUtf8(exporter.GetErrorString()));
        return false;
    }
    *model = QByteArray(static_cast<const char *>(blob->data), int(blob->size));
    if (obj) {
        model->prepend("# " + parameterLine.toUtf8() + '\n');
        return true;
    }
    if (!signGlb(model, parameterLine)) {
        *error = QStringLiteral("Assimp wrote a glTF model that linetree cannot read");
        return false;
    }
    return true;
}

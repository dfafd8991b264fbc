#include "model/SubmeshArrays.h"

#include <algorithm>

#include "model/EdgeAnalysis.h"

namespace {

const OgreModelEdge* edgeAt(const OgreModelSubmesh& submesh, int index) {
    if (index < 0 || index >= static_cast<int>(submesh.edges.size())) {
        return nullptr;
    }
    return submesh.edges[static_cast<std::size_t>(index)];
}

// The vertex of the face on the other side of `edge` that is not on the edge.
OgreModelVertex* vertexAcross(const OgreModelFace* face, const OgreModelEdge* edge) {
    if (!edge || !edge->face1 || !edge->face2) {
        return nullptr;
    }
    const OgreModelFace* other = edge->face1 == face ? edge->face2 : edge->face1;
    return EdgeAnalysis::findThirdVertex(other, edge);
}

const Vector3& positionOf(const OgreModelVertex* vertex, const OgreModelKeyframe* keyframe) {
    if (keyframe && vertex->index >= 0 && vertex->index < static_cast<int>(keyframe->positions.size())) {
        return keyframe->positions[static_cast<std::size_t>(vertex->index)]->position;
    }
    return vertex->position->position;
}

void writePoint(float* target, const Vector3& position, float w) {
    target[0] = position.x;
    target[1] = position.y;
    target[2] = position.z;
    target[3] = w;
}

void replaceArray(float*& array, std::size_t size) {
    delete[] array;
    array = new float[size];
}

} // namespace

void SubmeshArrays::build(OgreModelSubmesh& submesh) {
    const std::size_t faceCount = submesh.faces.size();
    replaceArray(submesh.positionsAdj, faceCount * kPositionFloatsPerFace);
    replaceArray(submesh.normals, faceCount * kVectorFloatsPerFace);
    replaceArray(submesh.binormals, faceCount * kVectorFloatsPerFace);
    replaceArray(submesh.tangents, faceCount * kVectorFloatsPerFace);
    replaceArray(submesh.texcoords, faceCount * kTexcoordFloatsPerFace);
    submesh.oppositeVertices.assign(faceCount * 3, nullptr);
    for (std::size_t f = 0; f < faceCount; ++f) {
        const OgreModelFace* face = submesh.faces[f];
        const OgreModelVertex* corners[3] = {face->v1, face->v2, face->v3};
        const int edges[3] = {face->e1, face->e2, face->e3};
        for (std::size_t c = 0; c < 3; ++c) {
            const std::size_t corner = f * 3 + c;
            submesh.oppositeVertices[corner] = vertexAcross(face, edgeAt(submesh, edges[c]));
            std::copy(corners[c]->normal, corners[c]->normal + 3, submesh.normals + corner * 3);
            std::copy(corners[c]->binormal, corners[c]->binormal + 3, submesh.binormals + corner * 3);
            std::copy(corners[c]->tangent, corners[c]->tangent + 3, submesh.tangents + corner * 3);
            submesh.texcoords[corner * 2] = corners[c]->texcoords[0][0];
            submesh.texcoords[corner * 2 + 1] = corners[c]->texcoords[0][1];
        }
    }
    fillPositions(submesh, submesh.positionsAdj, nullptr);
}

void SubmeshArrays::fillPositions(const OgreModelSubmesh& submesh, float* target,
                                  const OgreModelKeyframe* keyframe) {
    const Vector3 open{0.0f, 0.0f, 0.0f};
    for (std::size_t f = 0; f < submesh.faces.size(); ++f) {
        const OgreModelFace* face = submesh.faces[f];
        const OgreModelVertex* corners[3] = {face->v1, face->v2, face->v3};
        for (std::size_t c = 0; c < 3; ++c) {
            float* entry = target + f * kPositionFloatsPerFace + c * 8;
            writePoint(entry, positionOf(corners[c], keyframe), 1.0f);
            const OgreModelVertex* across = submesh.oppositeVertices[f * 3 + c];
            if (across) {
                writePoint(entry + 4, positionOf(across, keyframe), 1.0f);
            } else {
                writePoint(entry + 4, open, 0.0f);
            }
        }
    }
}

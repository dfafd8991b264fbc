#include "model/EdgeAnalysis.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include "core/Log.h"

VORN_FILE_LOGGER("OgreModel")

namespace {

std::size_t mix(std::size_t seed, std::size_t value) {
    return seed ^ (value + 0x9E3779B97F4A7C15ull + (seed << 6) + (seed >> 2));
}

// An unordered pair of vertex objects.
using VertexPair = std::pair<const OgreModelVertex*, const OgreModelVertex*>;

VertexPair makePair(const OgreModelVertex* a, const OgreModelVertex* b) {
    return std::less<>()(a, b) ? VertexPair(a, b) : VertexPair(b, a);
}

struct VertexPairHash {
    std::size_t operator()(const VertexPair& pair) const {
        return mix(std::hash<const void*>()(pair.first), std::hash<const void*>()(pair.second));
    }
};

// The first two faces, in face order, that contain a vertex pair.
struct FirstFaces {
    int first = -1;
    int second = -1;

    void add(int face) {
        if (first < 0) {
            first = face;
        } else if (second < 0 && first != face) {
            second = face;
        }
    }
    int otherThan(int face) const { return first != face ? first : second; }
};

using FacesByPair = std::unordered_map<VertexPair, FirstFaces, VertexPairHash>;

OgreModelVertex* corner(const OgreModelFace* face, int number) {
    return number == 0 ? face->v1 : number == 1 ? face->v2 : face->v3;
}

bool hasRepeatedCorner(const OgreModelFace* face) {
    return face->v1 == face->v2 || face->v2 == face->v3 || face->v3 == face->v1;
}

FacesByPair collectFacesByPair(const std::vector<OgreModelFace*>& faces) {
    bool anyRepeatedCorner = false;
    for (const OgreModelFace* face : faces) {
        anyRepeatedCorner = anyRepeatedCorner || hasRepeatedCorner(face);
    }
    FacesByPair facesByPair;
    facesByPair.reserve(faces.size() * (anyRepeatedCorner ? 6 : 3) / 2 + 1);
    for (std::size_t i = 0; i < faces.size(); ++i) {
        const int faceIndex = static_cast<int>(i);
        for (int side = 0; side < 3; ++side) {
            const OgreModelVertex* start = corner(faces[i], side);
            facesByPair[makePair(start, corner(faces[i], (side + 1) % 3))].add(faceIndex);
            // A side from a vertex to itself asks for any face holding that vertex.
            if (anyRepeatedCorner) {
                facesByPair[makePair(start, start)].add(faceIndex);
            }
        }
    }
    return facesByPair;
}

OgreModelEdge*& edgeSlot(OgreModelFace* face, int side) {
    return side == 0 ? face->edge1 : side == 1 ? face->edge2 : face->edge3;
}

// Exact position of a vertex as a hash key; -0 and 0 are the same position, and a
// NaN coordinate equals nothing, so such a vertex never welds.
struct PositionKey {
    std::uint32_t bits[3];
    bool operator==(const PositionKey&) const = default;
    auto operator<=>(const PositionKey&) const = default;
};

bool positionKey(const OgreModelVertex* vertex, PositionKey& key) {
    if (!vertex || !vertex->position) {
        return false;
    }
    const Vector3& position = vertex->position->position;
    const float coordinates[3] = {position.x, position.y, position.z};
    for (int axis = 0; axis < 3; ++axis) {
        const float value = coordinates[axis];
        if (std::isnan(value)) {
            return false;
        }
        key.bits[axis] = std::bit_cast<std::uint32_t>(value == 0.0f ? 0.0f : value);
    }
    return true;
}

using PositionPair = std::pair<PositionKey, PositionKey>;

struct PositionPairHash {
    std::size_t operator()(const PositionPair& pair) const {
        std::size_t seed = 0;
        for (const PositionKey* key : {&pair.first, &pair.second}) {
            for (const std::uint32_t bits : key->bits) {
                seed = mix(seed, bits);
            }
        }
        return seed;
    }
};

bool edgePositions(const OgreModelEdge* edge, PositionPair& pair) {
    PositionKey a;
    PositionKey b;
    if (!positionKey(edge->v1, a) || !positionKey(edge->v2, b)) {
        return false;
    }
    pair = a < b ? PositionPair(a, b) : PositionPair(b, a);
    return true;
}

void weldInto(OgreModelEdge* kept, OgreModelEdge* welded) {
    kept->face2 = welded->face1;
    welded->face2 = kept->face1;
    for (int side = 0; side < 3; ++side) {
        OgreModelEdge*& slot = edgeSlot(welded->face1, side);
        if (slot == welded) {
            slot = kept;
        }
    }
}

void removeWelded(std::vector<OgreModelEdge*>& edges, const std::vector<bool>& welded) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        if (welded[i]) {
            delete edges[i];
        } else {
            edges[kept++] = edges[i];
        }
    }
    edges.resize(kept);
}

// The corner number (1 to 3) of the last corner of `face` at the vertex's position, 0 if none.
int cornerAt(const OgreModelFace* face, const OgreModelVertex* vertex) {
    int number = 0;
    for (int i = 0; i < 3; ++i) {
        if (EdgeAnalysis::samePosition(corner(face, i), vertex)) {
            number = i + 1;
        }
    }
    return number;
}

bool runsBackward(int difference) {
    return difference == 1 || difference == -2;
}
bool runsForward(int difference) {
    return difference == -1 || difference == 2;
}

void deleteEdges(OgreModelSubmesh& submesh) {
    for (OgreModelEdge* edge : submesh.edges) {
        delete edge;
    }
    submesh.edges.clear();
}

int reportCracks(const OgreModelSubmesh& submesh) {
    int cracks = 0;
    for (const OgreModelEdge* edge : submesh.edges) {
        if (!edge->face1 || !edge->face2) {
            ++cracks;
            LOG_WARN("found crack from vertex " << edge->v1->index << " to " << edge->v2->index << ".");
        }
    }
    return cracks;
}

void orderFaces(OgreModelSubmesh& submesh) {
    for (std::size_t k = 0; k < submesh.edges.size(); ++k) {
        OgreModelEdge* edge = submesh.edges[k];
        edge->index = static_cast<int>(k);
        if (!edge->face2) {
            continue;
        }
        const int d1 = cornerAt(edge->face1, edge->v1) - cornerAt(edge->face1, edge->v2);
        const int d2 = cornerAt(edge->face2, edge->v1) - cornerAt(edge->face2, edge->v2);
        if (runsBackward(d1) && runsForward(d2)) {
            std::swap(edge->face1, edge->face2);
        } else if (!(runsForward(d1) && runsBackward(d2))) {
            LOG_WARN("found buggy edge: index=" << k << "(one of the faces is not winding correctly)");
        }
    }
    for (OgreModelFace* face : submesh.faces) {
        face->e1 = face->edge1->index;
        face->e2 = face->edge2->index;
        face->e3 = face->edge3->index;
    }
}

} // namespace

bool EdgeAnalysis::samePosition(const OgreModelVertex* a, const OgreModelVertex* b) {
    const Vector3& p = a->position->position;
    const Vector3& q = b->position->position;
    return p.x == q.x && p.y == q.y && p.z == q.z;
}

void EdgeAnalysis::calcEdges(OgreModelMesh& mesh) {
    for (const auto& [name, submesh] : mesh.submeshes) {
        LOG_TRACE("Finding Edges");
        deleteEdges(*submesh);
        findEdges(*submesh);
        LOG_TRACE("Welding Vertices");
        weldEdges(*submesh);
    }
    checkCracksAndWinding(mesh);
}

void EdgeAnalysis::checkCracksAndWinding(OgreModelMesh& mesh) {
    LOG_TRACE("Checking for cracks");
    int cracks = 0;
    for (const auto& [name, submesh] : mesh.submeshes) {
        cracks += reportCracks(*submesh);
    }
    if (cracks != 0) {
        LOG_WARN("found " << cracks << " cracked edges!");
        mesh.hasCracks = true;
    }
    LOG_TRACE("Checking for correct winding");
    for (const auto& [name, submesh] : mesh.submeshes) {
        orderFaces(*submesh);
    }
}

void EdgeAnalysis::findEdges(OgreModelSubmesh& submesh) {
    const std::vector<OgreModelFace*>& faces = submesh.faces;
    const FacesByPair facesByPair = collectFacesByPair(faces);
    std::unordered_map<VertexPair, OgreModelEdge*, VertexPairHash> edgeByPair;
    edgeByPair.reserve(facesByPair.size());
    for (std::size_t i = 0; i < faces.size(); ++i) {
        OgreModelFace* face = faces[i];
        for (int side = 0; side < 3; ++side) {
            OgreModelVertex* start = corner(face, side);
            OgreModelVertex* end = corner(face, (side + 1) % 3);
            OgreModelEdge*& edge = edgeByPair[makePair(start, end)];
            if (!edge) {
                edge = new OgreModelEdge();
                edge->index = static_cast<int>(submesh.edges.size());
                edge->v1 = start;
                edge->v2 = end;
                edge->face1 = face;
                const int other = facesByPair.at(makePair(start, end)).otherThan(static_cast<int>(i));
                edge->face2 = other < 0 ? nullptr : faces[other];
                submesh.edges.push_back(edge);
            }
            edgeSlot(face, side) = edge;
        }
    }
}

// Every open edge welds to the first open edge before it with the same end
// positions (either way round); that first edge keeps the last partner's face.
void EdgeAnalysis::weldEdges(OgreModelSubmesh& submesh) {
    std::vector<OgreModelEdge*>& edges = submesh.edges;
    std::unordered_map<PositionPair, OgreModelEdge*, PositionPairHash> firstOpenEdge;
    std::vector<bool> welded(edges.size(), false);
    for (std::size_t i = 0; i < edges.size(); ++i) {
        PositionPair positions;
        if (edges[i]->face2 || !edgePositions(edges[i], positions)) {
            continue;
        }
        const auto [entry, inserted] = firstOpenEdge.try_emplace(positions, edges[i]);
        if (!inserted) {
            weldInto(entry->second, edges[i]);
            welded[i] = true;
        }
    }
    removeWelded(edges, welded);
}

OgreModelVertex* EdgeAnalysis::findThirdVertex(const OgreModelFace* face, const OgreModelEdge* edge) {
    const OgreModelVertex* start = edge->v1;
    const OgreModelVertex* end = edge->v2;
    const auto pick = [&](OgreModelVertex* first, OgreModelVertex* second) -> OgreModelVertex* {
        if (samePosition(first, end)) {
            return second;
        }
        if (samePosition(second, end)) {
            return first;
        }
        LOG_WARN("Invalid Edge");
        return nullptr;
    };
    if (samePosition(face->v1, start)) {
        return pick(face->v2, face->v3);
    }
    if (samePosition(face->v2, start)) {
        return pick(face->v1, face->v3);
    }
    if (samePosition(face->v3, start)) {
        return pick(face->v1, face->v2);
    }
    LOG_WARN("pointer error");
    return nullptr;
}

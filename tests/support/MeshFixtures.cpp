#include "MeshFixtures.h"

#include "model/EdgeAnalysis.h"
#include "model/OgreModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

namespace {

// Corners of one cube side, counter-clockwise seen from outside.
std::array<std::array<float, 3>, 4> cubeSide(int axis, float sign) {
    const int u = (axis + 1) % 3;
    const int v = (axis + 2) % 3;
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    std::array<std::array<float, 3>, 4> side;
    for (int i = 0; i < 4; ++i) {
        const int k = sign > 0 ? i : 3 - i;
        side[i][axis] = sign;
        side[i][u] = corners[k][0];
        side[i][v] = corners[k][1];
    }
    return side;
}

int findOrAdd(MeshData& data, const std::array<float, 3>& position) {
    const auto found = std::find(data.positions.begin(), data.positions.end(), position);
    if (found != data.positions.end()) {
        return static_cast<int>(found - data.positions.begin());
    }
    data.positions.push_back(position);
    return static_cast<int>(data.positions.size()) - 1;
}

MeshData cube(bool shareCorners) {
    MeshData data;
    for (int axis = 0; axis < 3; ++axis) {
        for (const float sign : {1.0f, -1.0f}) {
            const auto side = cubeSide(axis, sign);
            int ids[4];
            for (int i = 0; i < 4; ++i) {
                if (shareCorners) {
                    ids[i] = findOrAdd(data, side[i]);
                } else {
                    data.positions.push_back(side[i]);
                    ids[i] = static_cast<int>(data.positions.size()) - 1;
                }
            }
            data.faces.push_back({ids[0], ids[1], ids[2]});
            data.faces.push_back({ids[0], ids[2], ids[3]});
        }
    }
    return data;
}

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

} // namespace

MeshData sharedCube() {
    return cube(true);
}

MeshData splitCube() {
    return cube(false);
}

MeshData randomTorus(unsigned seed, int rings, int segments, const MeshFaults& faults) {
    std::mt19937 random(seed);
    std::bernoulli_distribution split(faults.split), nudge(faults.nudge), hole(faults.hole),
        flip(faults.flip), duplicate(faults.duplicate);
    const auto grid = [&](int ring, int segment) {
        const float u = 6.2831853f * static_cast<float>(ring % rings) / static_cast<float>(rings);
        const float v = 6.2831853f * static_cast<float>(segment % segments) / static_cast<float>(segments);
        return std::array<float, 3>{(3.0f + std::cos(v)) * std::cos(u), (3.0f + std::cos(v)) * std::sin(u),
                                    std::sin(v)};
    };
    MeshData data;
    std::vector<int> shared(static_cast<std::size_t>(rings * segments), -1);
    const auto sharedVertex = [&](int ring, int segment) {
        int& id = shared[static_cast<std::size_t>((ring % rings) * segments + segment % segments)];
        if (id < 0) {
            data.positions.push_back(grid(ring, segment));
            id = static_cast<int>(data.positions.size()) - 1;
        }
        return id;
    };
    for (int ring = 0; ring < rings; ++ring) {
        for (int segment = 0; segment < segments; ++segment) {
            const bool ownVertices = split(random);
            int ids[4];
            const int corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (int i = 0; i < 4; ++i) {
                const int r = ring + corners[i][0];
                const int s = segment + corners[i][1];
                if (!ownVertices) {
                    ids[i] = sharedVertex(r, s);
                    continue;
                }
                std::array<float, 3> position = grid(r, s);
                if (nudge(random)) {
                    position[0] = std::nextafter(position[0], 100.0f);
                }
                data.positions.push_back(position);
                ids[i] = static_cast<int>(data.positions.size()) - 1;
            }
            for (const std::array<int, 3>& face :
                 {std::array<int, 3>{ids[0], ids[1], ids[2]}, std::array<int, 3>{ids[0], ids[2], ids[3]}}) {
                if (hole(random)) {
                    continue;
                }
                data.faces.push_back(flip(random) ? std::array<int, 3>{face[0], face[2], face[1]} : face);
                if (duplicate(random)) {
                    data.faces.push_back(face);
                }
            }
        }
    }
    std::shuffle(data.faces.begin(), data.faces.end(), random);
    return data;
}

OgreModelMesh* buildMesh(const MeshData& data) {
    auto* mesh = new OgreModelMesh();
    auto* submesh = new OgreModelSubmesh();
    submesh->geometry = new OgreModelGeometry();
    auto* buffer = new OgreModelVertexbuffer();
    buffer->positions = true;
    submesh->geometry->vertexBuffers.push_back(buffer);
    for (std::size_t i = 0; i < data.positions.size(); ++i) {
        auto* vertex = new OgreModelVertex();
        vertex->index = static_cast<int>(i);
        vertex->position = new OgreModelVertexPosition();
        vertex->position->position = {data.positions[i][0], data.positions[i][1], data.positions[i][2]};
        buffer->vertices.push_back(vertex);
    }
    submesh->geometry->vertexCount = static_cast<int>(data.positions.size());
    for (std::size_t i = 0; i < data.faces.size(); ++i) {
        auto* face = new OgreModelFace();
        face->index = static_cast<int>(i);
        face->v1 = buffer->vertices[data.faces[i][0]];
        face->v2 = buffer->vertices[data.faces[i][1]];
        face->v3 = buffer->vertices[data.faces[i][2]];
        submesh->faces.push_back(face);
    }
    submesh->faceCount = static_cast<int>(data.faces.size());
    mesh->submeshes["submesh_0"] = submesh;
    return mesh;
}

std::string meshXml(const MeshData& data, const std::string& material) {
    std::ostringstream xml;
    xml << "<mesh>\n<submeshes>\n<submesh material=\"" << material
        << "\" usesharedvertices=\"false\">\n<faces count=\"" << data.faces.size() << "\">\n";
    for (const auto& face : data.faces) {
        xml << "<face v1=\"" << face[0] << "\" v2=\"" << face[1] << "\" v3=\"" << face[2] << "\"/>\n";
    }
    xml << "</faces>\n<geometry vertexcount=\"" << data.positions.size()
        << "\">\n<vertexbuffer positions=\"true\" normals=\"true\" texture_coords=\"1\">\n";
    for (const auto& position : data.positions) {
        xml << "<vertex><position x=\"" << number(position[0]) << "\" y=\"" << number(position[1])
            << "\" z=\"" << number(position[2])
            << "\"/><normal x=\"0\" y=\"0\" z=\"1\"/><texcoord u=\"0.5\" v=\"0.25\"/></vertex>\n";
    }
    xml << "</vertexbuffer>\n</geometry>\n</submesh>\n</submeshes>\n</mesh>\n";
    return xml.str();
}

std::unique_ptr<OgreModelMesh> buildMeshWithArrays(const MeshData& data) {
    std::unique_ptr<OgreModelMesh> mesh(buildMesh(data));
    EdgeAnalysis::calcEdges(*mesh);
    OgreModel model;
    model.mesh = mesh.get();
    model.createVertexArrays();
    return mesh;
}

std::unique_ptr<OgreModelMesh> buildShadedMesh(const MeshData& data) {
    std::unique_ptr<OgreModelMesh> mesh(buildMesh(data));
    OgreModelSubmesh* submesh = mesh->submeshes.begin()->second;
    std::vector<Vector3> vertexNormals(data.positions.size());
    for (OgreModelFace* face : submesh->faces) {
        const Vector3& corner = face->v1->position->position;
        const Vector3 u = (face->v2->position->position - corner).normalized();
        const Vector3 v = (face->v3->position->position - corner).normalized();
        face->normal = u.cross(v).normalized();
        for (const OgreModelVertex* vertex : {face->v1, face->v2, face->v3}) {
            vertexNormals[static_cast<std::size_t>(vertex->index)] += face->normal;
        }
    }
    for (OgreModelVertex* vertex : submesh->geometry->vertexBuffers.front()->vertices) {
        const Vector3 normal = vertexNormals[static_cast<std::size_t>(vertex->index)].normalized();
        vertex->normal[0] = normal.x;
        vertex->normal[1] = normal.y;
        vertex->normal[2] = normal.z;
        mesh->radius = std::max(mesh->radius, vertex->position->position.length());
    }
    EdgeAnalysis::calcEdges(*mesh);
    OgreModel model;
    model.mesh = mesh.get();
    model.createVertexArrays();
    return mesh;
}

MeshData transformed(MeshData data, const std::array<float, 3>& scale, const std::array<float, 3>& offset) {
    for (std::array<float, 3>& position : data.positions) {
        for (int axis = 0; axis < 3; ++axis) {
            position[axis] = position[axis] * scale[axis] + offset[axis];
        }
    }
    return data;
}

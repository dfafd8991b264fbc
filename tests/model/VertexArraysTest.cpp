#include <gtest/gtest.h>

#include <memory>

#include "LogCapture.h"
#include "MeshFixtures.h"
#include "model/EdgeAnalysis.h"
#include "model/OgreModel.h"

namespace {

std::array<float, 4> entry(const OgreModelSubmesh& submesh, std::size_t face, int corner, bool across) {
    const float* p = submesh.positionsAdj + face * 24 + corner * 8 + (across ? 4 : 0);
    return {p[0], p[1], p[2], p[3]};
}

std::array<float, 4> point(const OgreModelVertex* vertex) {
    const Vector3& p = vertex->position->position;
    return {p.x, p.y, p.z, 1.0f};
}

} // namespace

// Each corner is followed by the corner of the neighbouring face that is not on
// the corner's outgoing edge, found here by brute force over the faces.
TEST(VertexArraysTest, ClosedCubeCarriesTheNeighbourAcrossEveryEdge) {
    for (const MeshData& data : {sharedCube(), splitCube()}) {
        const auto mesh = buildMeshWithArrays(data);
        const OgreModelSubmesh& submesh = *mesh->submeshes.begin()->second;
        for (std::size_t f = 0; f < submesh.faces.size(); ++f) {
            const OgreModelFace* face = submesh.faces[f];
            const OgreModelVertex* corners[3] = {face->v1, face->v2, face->v3};
            for (int c = 0; c < 3; ++c) {
                const auto start = point(corners[c]);
                const auto end = point(corners[(c + 1) % 3]);
                EXPECT_EQ(entry(submesh, f, c, false), start);
                int neighbours = 0;
                for (const OgreModelFace* other : submesh.faces) {
                    const OgreModelVertex* o[3] = {other->v1, other->v2, other->v3};
                    for (int k = 0; k < 3; ++k) {
                        // The neighbour runs the edge the other way round.
                        if (other != face && point(o[k]) == end && point(o[(k + 1) % 3]) == start) {
                            EXPECT_EQ(entry(submesh, f, c, true), point(o[(k + 2) % 3]));
                            ++neighbours;
                        }
                    }
                }
                EXPECT_EQ(neighbours, 1);
            }
        }
    }
}

TEST(VertexArraysTest, OpenAndInconsistentEdgesHaveNoNeighbour) {
    LogCapture log;
    // Two triangles over the diagonal of a unit square; its four rims are open.
    MeshData square{{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}}};
    auto mesh = buildMeshWithArrays(square);
    const OgreModelSubmesh* submesh = mesh->submeshes.begin()->second;
    EXPECT_EQ(entry(*submesh, 0, 2, true), (std::array<float, 4>{0, 1, 0, 1})) << "across the diagonal";
    EXPECT_EQ(entry(*submesh, 0, 0, true), (std::array<float, 4>{0, 0, 0, 0}));
    EXPECT_EQ(entry(*submesh, 0, 1, true), (std::array<float, 4>{0, 0, 0, 0}));

    // A neighbour that no longer meets the edge's positions counts as open.
    mesh.reset(buildMesh(square));
    EdgeAnalysis::calcEdges(*mesh);
    OgreModelSubmesh* moved = mesh->submeshes.begin()->second;
    moved->faces[1]->v3->position->position.x = 0.5f;
    moved->faces[1]->v1 = moved->faces[1]->v3;
    OgreModel model;
    model.mesh = mesh.get();
    model.createVertexArrays();
    EXPECT_EQ(entry(*moved, 0, 2, true)[3], 0.0f);
    EXPECT_TRUE(log.contains("Invalid Edge") || log.contains("pointer error"));
}

TEST(VertexArraysTest, NormalsTangentsAndTexcoordsFollowTheCorners) {
    std::unique_ptr<OgreModelMesh> mesh(buildMesh({{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{2, 0, 1}}}));
    OgreModelSubmesh* submesh = mesh->submeshes.begin()->second;
    const auto& vertices = submesh->geometry->vertexBuffers.front()->vertices;
    for (int i = 0; i < 3; ++i) {
        vertices[i]->normal[2] = 1.0f + i;
        vertices[i]->tangent[0] = 2.0f + i;
        vertices[i]->tangent[3] = -1.0f;
        vertices[i]->binormal[1] = 3.0f + i;
        vertices[i]->texcoords[0][0] = 0.25f * i;
        vertices[i]->texcoords[0][1] = 0.5f * i;
    }
    EdgeAnalysis::calcEdges(*mesh);
    OgreModel model;
    model.mesh = mesh.get();
    model.createVertexArrays();
    // Face (2, 0, 1): the first corner is vertex 2.
    EXPECT_EQ(submesh->normals[2], 3.0f);
    EXPECT_EQ(submesh->tangents[0], 4.0f);
    EXPECT_EQ(submesh->tangents[3], 2.0f) << "three floats per corner, the fourth tangent component dropped";
    EXPECT_EQ(submesh->binormals[4], 3.0f);
    EXPECT_EQ(submesh->texcoords[0], 0.5f);
    EXPECT_EQ(submesh->texcoords[1], 1.0f);
    EXPECT_EQ(submesh->texcoords[2], 0.0f);
}

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <pugixml.hpp>
#include <tuple>

#include "GameTree.h"

namespace {

using Position = std::tuple<float, float, float>;

struct Triangle {
    Position a, b, c;
};

struct LoadedMesh {
    std::vector<Triangle> triangles;
    std::vector<std::string> problems;
};

Position readPosition(pugi::xml_node node) {
    return {node.attribute("x").as_float(), node.attribute("y").as_float(), node.attribute("z").as_float()};
}

float dot(const Position& a, const Position& b) {
    return std::get<0>(a) * std::get<0>(b) + std::get<1>(a) * std::get<1>(b) +
           std::get<2>(a) * std::get<2>(b);
}

Position faceNormal(const Position& a, const Position& b, const Position& c) {
    const auto [ax, ay, az] = a;
    const auto [bx, by, bz] = b;
    const auto [cx, cy, cz] = c;
    const float ux = bx - ax, uy = by - ay, uz = bz - az, vx = cx - ax, vy = cy - ay, vz = cz - az;
    return {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
}

float length(pugi::xml_node node) {
    const float x = node.attribute("x").as_float(), y = node.attribute("y").as_float(),
                z = node.attribute("z").as_float();
    return std::sqrt(x * x + y * y + z * z);
}

// Reads a mesh the way the game does (each submesh's faces index its own geometry) and notes every
// structural fault it finds.
LoadedMesh load(const std::filesystem::path& path) {
    LoadedMesh mesh;
    pugi::xml_document document;
    if (!document.load_file(path.c_str())) {
        mesh.problems.push_back("does not parse");
        return mesh;
    }
    const pugi::xml_node root = document.child("mesh");
    if (std::distance(root.children("submeshes").begin(), root.children("submeshes").end()) != 1) {
        mesh.problems.push_back("needs exactly one <submeshes>");
    }
    for (const pugi::xml_node submesh : root.child("submeshes").children("submesh")) {
        if (submesh.attribute("material").empty()) {
            mesh.problems.push_back("submesh without material");
        }
        std::vector<Position> positions, normals;
        const pugi::xml_node geometry = submesh.child("geometry");
        for (const pugi::xml_node buffer : geometry.children("vertexbuffer")) {
            for (const pugi::xml_node vertex : buffer.children("vertex")) {
                positions.push_back(readPosition(vertex.child("position")));
                normals.push_back(readPosition(vertex.child("normal")));
                if (std::fabs(length(vertex.child("normal")) - 1) > 1e-3f ||
                    std::fabs(length(vertex.child("tangent")) - 1) > 1e-3f ||
                    std::fabs(length(vertex.child("binormal")) - 1) > 1e-3f) {
                    mesh.problems.push_back("normal, tangent or binormal not of unit length");
                }
                if (vertex.child("texcoord").attribute("u").empty()) {
                    mesh.problems.push_back("vertex without texture coordinates");
                }
            }
        }
        if (geometry.attribute("vertexcount").as_uint() != positions.size()) {
            mesh.problems.push_back("vertexcount differs from the vertices");
        }
        const pugi::xml_node faces = submesh.child("faces");
        std::size_t faceCount = 0;
        for (const pugi::xml_node face : faces.children("face")) {
            ++faceCount;
            const std::size_t v1 = face.attribute("v1").as_uint(), v2 = face.attribute("v2").as_uint(),
                              v3 = face.attribute("v3").as_uint();
            if (v1 >= positions.size() || v2 >= positions.size() || v3 >= positions.size()) {
                mesh.problems.push_back("face index outside the geometry");
                continue;
            }
            mesh.triangles.push_back({positions[v1], positions[v2], positions[v3]});
            // Lighting uses the vertex normals: they must lean the way the face winds.
            const Position normal = faceNormal(positions[v1], positions[v2], positions[v3]);
            for (const std::size_t v : {v1, v2, v3}) {
                if (dot(normal, normals[v]) <= 0) {
                    mesh.problems.push_back("a vertex normal points away from its face");
                }
            }
        }
        if (faces.attribute("count").as_uint() != faceCount || faceCount == 0) {
            mesh.problems.push_back("face count wrong or no faces");
        }
    }
    return mesh;
}

// Shadow volumes need every edge shared by exactly two faces that run it in opposite directions,
// comparing corners by exact position (texture seams split vertices but not positions).
std::size_t crackedEdges(const std::vector<Triangle>& triangles) {
    std::map<std::pair<Position, Position>, int> directed;
    for (const Triangle& t : triangles) {
        ++directed[{t.a, t.b}];
        ++directed[{t.b, t.c}];
        ++directed[{t.c, t.a}];
    }
    std::size_t cracks = 0;
    for (const auto& [edge, count] : directed) {
        const auto reverse = directed.find({edge.second, edge.first});
        if (count != 1 || reverse == directed.end() || reverse->second != 1) {
            ++cracks;
        }
    }
    return cracks;
}

// Positive for a closed mesh whose faces wind counter-clockwise seen from outside.
double signedVolume(const std::vector<Triangle>& triangles) {
    double volume = 0;
    for (const Triangle& t : triangles) {
        const auto [ax, ay, az] = t.a;
        const auto [bx, by, bz] = t.b;
        const auto [cx, cy, cz] = t.c;
        volume += (double(ax) * (double(by) * cz - double(bz) * cy) -
                   double(ay) * (double(bx) * cz - double(bz) * cx) +
                   double(az) * (double(bx) * cy - double(by) * cx)) /
                  6.0;
    }
    return volume;
}

std::vector<std::filesystem::path> meshFiles() {
    return game_tree::filesEndingIn(game_tree::level() / "models", ".mesh.xml");
}

} // namespace

TEST(MeshFilesTest, EveryMeshIsWellFormedClosedAndFacesOutwards) {
    const auto files = meshFiles();
    ASSERT_GE(files.size(), 15u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        const LoadedMesh mesh = load(file);
        EXPECT_TRUE(mesh.problems.empty()) << mesh.problems.front();
        EXPECT_EQ(crackedEdges(mesh.triangles), 0u);
        EXPECT_GT(signedVolume(mesh.triangles), 0.0);
    }
}

TEST(MeshFilesTest, TheBallIsASphereOfRadiusOne) {
    const LoadedMesh ball = load(game_tree::level() / "models" / "ball.mesh.xml");
    ASSERT_FALSE(ball.triangles.empty());
    for (const Triangle& t : ball.triangles) {
        for (const Position& p : {t.a, t.b, t.c}) {
            const auto [x, y, z] = p;
            EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 1.0f, 1e-5f);
        }
    }
    EXPECT_NEAR(signedVolume(ball.triangles), 4.0 / 3.0 * M_PI, 0.1); // a polyhedron inside the sphere
}

TEST(MeshFilesTest, TheCrackCheckFindsAnOpenOrMisorientedSurface) {
    const Position a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0}, d{0, 0, 1};
    const std::vector<Triangle> tetrahedron = {{a, c, b}, {a, b, d}, {a, d, c}, {b, c, d}};
    EXPECT_EQ(crackedEdges(tetrahedron), 0u);
    EXPECT_GT(signedVolume(tetrahedron), 0.0);
    EXPECT_EQ(crackedEdges({tetrahedron.begin(), tetrahedron.end() - 1}), 3u);
    std::vector<Triangle> flipped = tetrahedron;
    flipped[3] = {b, d, c};
    EXPECT_GT(crackedEdges(flipped), 0u);
}

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

#include "LogCapture.h"
#include "MeshFixtures.h"
#include "NaiveEdgeAnalysis.h"
#include "model/EdgeAnalysis.h"

namespace {

OgreModelSubmesh& only(OgreModelMesh& mesh) { return *mesh.submeshes.begin()->second; }

// The corner number (0 to 2) of `vertex` in `face` by identity, -1 if absent.
int cornerOf(const OgreModelFace* face, const OgreModelVertex* vertex) {
    return face->v1 == vertex ? 0 : face->v2 == vertex ? 1 : face->v3 == vertex ? 2 : -1;
}

bool samePlace(const OgreModelVertex* a, const OgreModelVertex* b) { return EdgeAnalysis::samePosition(a, b); }

// Whether the face, walked in winding order, goes from the position of `from` to that of `to`.
bool runsForward(const OgreModelFace* face, const OgreModelVertex* from, const OgreModelVertex* to) {
    const OgreModelVertex* corners[3] = {face->v1, face->v2, face->v3};
    for (int i = 0; i < 3; ++i) {
        if (samePlace(corners[i], from) && samePlace(corners[(i + 1) % 3], to)) {
            return true;
        }
    }
    return false;
}

// Everything the analysis decides, as text, for comparing two runs.
std::string describe(OgreModelMesh& mesh) {
    std::ostringstream text;
    text << "cracks " << mesh.hasCracks << "\n";
    for (const auto& [name, submesh] : mesh.submeshes) {
        for (const OgreModelEdge* edge : submesh->edges) {
            text << edge->index << ": " << edge->v1->index << "-" << edge->v2->index << " faces "
                 << edge->face1->index << "/" << (edge->face2 ? edge->face2->index : -1) << "\n";
        }
        for (const OgreModelFace* face : submesh->faces) {
            text << "face " << face->index << ": " << face->e1 << " " << face->e2 << " " << face->e3 << "\n";
        }
    }
    return text.str();
}

struct Analysed {
    std::unique_ptr<OgreModelMesh> mesh;
    std::vector<std::string> warnings;
    std::string description;
};

template <class Analysis> Analysed analyse(const MeshData& data, Analysis analysis) {
    Analysed result{std::unique_ptr<OgreModelMesh>(buildMesh(data)), {}, {}};
    const LogCapture log;
    analysis(*result.mesh);
    for (const std::string& line : log.lines()) {
        if (line.rfind("WARN", 0) == 0) {
            result.warnings.push_back(line);
        }
    }
    result.description = describe(*result.mesh);
    return result;
}

Analysed fast(const MeshData& data) { return analyse(data, EdgeAnalysis::calcEdges); }

void expectClosedAndConsistent(OgreModelMesh& mesh) {
    for (const OgreModelEdge* edge : only(mesh).edges) {
        ASSERT_NE(edge->face2, nullptr);
        EXPECT_TRUE(runsForward(edge->face1, edge->v1, edge->v2));
        EXPECT_TRUE(runsForward(edge->face2, edge->v2, edge->v1));
    }
    for (const OgreModelFace* face : only(mesh).faces) {
        const std::vector<OgreModelEdge*>& edges = only(mesh).edges;
        EXPECT_TRUE(samePlace(edges[face->e1]->v1, face->v1) || samePlace(edges[face->e1]->v2, face->v1));
        EXPECT_TRUE(samePlace(edges[face->e2]->v1, face->v2) || samePlace(edges[face->e2]->v2, face->v2));
        EXPECT_TRUE(samePlace(edges[face->e3]->v1, face->v3) || samePlace(edges[face->e3]->v2, face->v3));
    }
}

} // namespace

TEST(EdgeAnalysisTest, ClosedCubeHasEighteenEdgesWhetherCornersAreSharedOrSplit) {
    for (const MeshData& cube : {sharedCube(), splitCube()}) {
        Analysed result = fast(cube);
        EXPECT_EQ(only(*result.mesh).edges.size(), 18u);
        EXPECT_FALSE(result.mesh->hasCracks);
        EXPECT_TRUE(result.warnings.empty()) << result.warnings.front();
        expectClosedAndConsistent(*result.mesh);
    }
}

TEST(EdgeAnalysisTest, LoneTriangleHasThreeCracks) {
    Analysed result = fast({{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}});
    EXPECT_EQ(only(*result.mesh).edges.size(), 3u);
    EXPECT_TRUE(result.mesh->hasCracks);
    ASSERT_EQ(result.warnings.size(), 4u);
    EXPECT_EQ(result.warnings[0], "WARN OgreModel: found crack from vertex 0 to 1.");
    EXPECT_EQ(result.warnings[3], "WARN OgreModel: found 3 cracked edges!");
}

TEST(EdgeAnalysisTest, OppositeWindingIsReportedAndLeftAlone) {
    // Both triangles run 0 -> 1 along the shared side.
    Analysed result = fast({{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}}, {{0, 1, 2}, {0, 1, 3}}});
    const std::vector<OgreModelEdge*>& edges = only(*result.mesh).edges;
    ASSERT_EQ(edges.size(), 5u);
    EXPECT_EQ(edges[0]->face1->index, 0);
    EXPECT_EQ(edges[0]->face2->index, 1);
    EXPECT_EQ(std::count(result.warnings.begin(), result.warnings.end(),
                         "WARN OgreModel: found buggy edge: index=0(one of the faces is not winding correctly)"),
              1);
}

TEST(EdgeAnalysisTest, SeamWeldsOnlyOnExactlyEqualPositions) {
    // Two triangles over the side (1,0,0)-(0,1,0), each with vertices of its own.
    MeshData seam{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {3, 4, 5}}};
    Analysed welded = fast(seam);
    EXPECT_EQ(only(*welded.mesh).edges.size(), 5u);
    const OgreModelFace* first = only(*welded.mesh).faces[0];
    const OgreModelFace* second = only(*welded.mesh).faces[1];
    EXPECT_EQ(first->edge2, second->edge3) << "both faces point at the one welded edge";
    EXPECT_EQ(first->e2, second->e3);

    seam.positions[3][0] = std::nextafter(1.0f, 2.0f);
    Analysed apart = fast(seam);
    EXPECT_EQ(only(*apart.mesh).edges.size(), 6u);
    EXPECT_TRUE(apart.mesh->hasCracks);

    seam.positions[3] = {1, 0, 0};
    seam.positions[5][2] = -0.0f;
    EXPECT_EQ(only(*fast(seam).mesh).edges.size(), 5u) << "-0 and 0 are the same position";
}

TEST(EdgeAnalysisTest, FindThirdVertexGoesByPosition) {
    Analysed result = fast(splitCube());
    for (const OgreModelEdge* edge : only(*result.mesh).edges) {
        for (const OgreModelFace* face : {edge->face1, edge->face2}) {
            const OgreModelVertex* third = EdgeAnalysis::findThirdVertex(face, edge);
            ASSERT_NE(third, nullptr);
            EXPECT_FALSE(samePlace(third, edge->v1) || samePlace(third, edge->v2));
            EXPECT_NE(cornerOf(face, third), -1);
        }
    }

    const LogCapture log;
    const OgreModelFace* face = only(*result.mesh).faces[0];
    OgreModelEdge foreign = *only(*result.mesh).edges[0];
    foreign.v1 = face->v1;
    foreign.v2 = face->v1;
    EXPECT_EQ(EdgeAnalysis::findThirdVertex(face, &foreign), nullptr);
    EXPECT_TRUE(log.contains("Invalid Edge"));
    const OgreModelFace* farFace = nullptr;
    for (const OgreModelFace* candidate : only(*result.mesh).faces) {
        if (!samePlace(candidate->v1, face->v1) && !samePlace(candidate->v2, face->v1) &&
            !samePlace(candidate->v3, face->v1)) {
            farFace = candidate;
        }
    }
    ASSERT_NE(farFace, nullptr);
    EXPECT_EQ(EdgeAnalysis::findThirdVertex(farFace, &foreign), nullptr);
    EXPECT_TRUE(log.contains("pointer error"));
}

TEST(EdgeAnalysisTest, RunningTwiceGivesTheSameEdges) {
    Analysed result = fast(randomTorus(7, 12, 9, MeshFaults()));
    EdgeAnalysis::calcEdges(*result.mesh);
    EXPECT_EQ(describe(*result.mesh), result.description);
}

// The hash-map analysis must decide exactly what the plain quadratic one does.
TEST(EdgeAnalysisTest, MatchesTheNaiveReference) {
    std::vector<MeshData> meshes = {sharedCube(), splitCube()};
    MeshFaults heavy;
    heavy.split = 0.6;
    heavy.nudge = 0.1;
    heavy.hole = 0.1;
    heavy.flip = 0.1;
    heavy.duplicate = 0.05;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        meshes.push_back(randomTorus(seed, 6 + static_cast<int>(seed), 5 + static_cast<int>(seed % 4),
                                     seed % 2 ? heavy : MeshFaults()));
    }
    MeshData degenerate = splitCube();
    degenerate.faces.push_back({0, 0, 1});
    degenerate.faces.push_back({2, 3, 2});
    meshes.push_back(degenerate);

    for (std::size_t i = 0; i < meshes.size(); ++i) {
        SCOPED_TRACE("mesh " + std::to_string(i));
        const Analysed expected = analyse(meshes[i], naiveCalcEdges);
        const Analysed actual = fast(meshes[i]);
        EXPECT_EQ(actual.description, expected.description);
        EXPECT_EQ(actual.warnings, expected.warnings);
    }
}

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "LogCapture.h"
#include "MeshFixtures.h"
#include "TempDataRoot.h"
#include "core/GameFolders.h"
#include "core/Util.h"
#include "model/MeshLoader.h"

namespace {

std::string vertexXml(float x, float y, float z, const std::string& extra = "") {
    return "<vertex><position x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" z=\"" +
           std::to_string(z) + "\"/>" + extra + "</vertex>";
}

// A submesh holding one triangle with vertices of its own.
std::string triangleSubmesh(const std::string& attributes = "", float x = 0.0f) {
    return "<submesh usesharedvertices=\"false\" " + attributes +
           "><faces><face v1=\"0\" v2=\"1\" v3=\"2\"/></faces><geometry><vertexbuffer positions=\"true\">" +
           vertexXml(x, 0, 0) + vertexXml(x + 1, 0, 0) + vertexXml(x, 1, 0) +
           "</vertexbuffer></geometry></submesh>";
}

std::string meshOf(const std::string& submeshes, const std::string& rest = "") {
    return "<mesh><submeshes>" + submeshes + "</submeshes>" + rest + "</mesh>";
}

} // namespace

class MeshLoaderTest : public ::testing::Test {
protected:
    // A loader of its own; replacing it forgets every mesh it loaded.
    std::unique_ptr<MeshLoader> meshes = std::make_unique<MeshLoader>();
    // Writes "<name>.mesh.xml" under the data root and returns the mesh path scenes use.
    std::string writeMesh(const std::string& name, const std::string& xml) {
        data.write("models/" + name + ".mesh.xml", xml);
        return "../models/" + name + ".mesh";
    }

    std::unique_ptr<OgreModel> load(const std::string& path) {
        return std::unique_ptr<OgreModel>(meshes->loadModel(path));
    }

    const OgreModelVertex* firstVertex(const OgreModel& model) {
        return model.mesh->submeshes.begin()->second->geometry->vertexBuffers[0]->vertices[0];
    }

    TempDataRoot data;
    LogCapture log;
};

TEST_F(MeshLoaderTest, CubeLoadsWithNormalsBoundsEdgesAndACacheFile) {
    const std::string path = writeMesh("cube", meshXml(splitCube()));
    const auto model = load(path);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->hash, Util::calcHash(nullptr, path + ".xml"));
    ASSERT_EQ(model->mesh->submeshes.count("submesh_0"), 1u);
    const OgreModelSubmesh* submesh = model->mesh->submeshes.at("submesh_0");
    EXPECT_EQ(submesh->material, "Stone");
    EXPECT_FALSE(submesh->useSharedVertices);
    EXPECT_EQ(submesh->faceCount, 12);
    EXPECT_EQ(submesh->edges.size(), 18u);
    EXPECT_FALSE(model->mesh->hasCracks);
    for (const OgreModelFace* face : submesh->faces) {
        // Every side's outward normal points the way of its corners.
        EXPECT_FLOAT_EQ(face->normal.dot(face->v1->position->position), 1.0f);
    }
    for (const float extent : model->mesh->extents) {
        EXPECT_FLOAT_EQ(extent, 1.0f);
    }
    EXPECT_FLOAT_EQ(model->mesh->radius, std::sqrt(3.0f));
    EXPECT_TRUE(std::filesystem::exists(path + ".vorm"));
    EXPECT_TRUE(log.contains("XML loading successful, serializing to VOM"));
}

TEST_F(MeshLoaderTest, SecondLoadOfAPathSharesTheMesh) {
    const std::string path = writeMesh("cube", meshXml(sharedCube()));
    auto first = load(path);
    EXPECT_FALSE(log.contains("Mesh already loaded, copying"));
    const auto second = load(path);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(first->mesh, second->mesh);
    EXPECT_EQ(log.count("Mesh already loaded, copying"), 1);
    first.reset();
    EXPECT_EQ(second->mesh->submeshes.at("submesh_0")->faces.size(), 12u);
}

TEST_F(MeshLoaderTest, SubmeshesAreNamedByTheLastMatchingEntryOrByNumber) {
    const std::string path = writeMesh(
        "named", meshOf(triangleSubmesh() + triangleSubmesh() + triangleSubmesh() + triangleSubmesh(),
                        "<submeshnames><submeshname name=\"hull\" index=\"0\"/>"
                        "<submeshname name=\"first\" index=\"1\"/><submeshname name=\"second\" index=\"1\"/>"
                        "<submeshname name=\"sail\" index=\"2\"/></submeshnames>"));
    const auto model = load(path);
    ASSERT_TRUE(model);
    std::vector<std::pair<std::string, int>> names;
    for (const auto& [name, submesh] : model->mesh->submeshes) {
        names.emplace_back(name, submesh->index);
    }
    const std::vector<std::pair<std::string, int>> expected = {
        {"hull", 0}, {"sail", 2}, {"second", 1}, {"submesh_3", 3}};
    EXPECT_EQ(names, expected);
}

TEST_F(MeshLoaderTest, SubmeshAttributesAndTheirDefaults) {
    const std::string path = writeMesh(
        "flags", meshOf(triangleSubmesh(
                            "material=\"Wood\" use32bitindexes=\"true\" operationtype=\"triangle_strip\"") +
                        triangleSubmesh("use32bitindexes=\"TRUE\" operationtype=\"triangle_fan\"")));
    const auto model = load(path);
    ASSERT_TRUE(model);
    const OgreModelSubmesh* first = model->mesh->submeshes.at("submesh_0");
    EXPECT_EQ(first->material, "Wood");
    EXPECT_TRUE(first->use32BitIndexes);
    EXPECT_EQ(first->operationType, OgreModelSubmesh::TRIANGLE_STRIP);
    const OgreModelSubmesh* second = model->mesh->submeshes.at("submesh_1");
    EXPECT_EQ(second->material, "");
    EXPECT_FALSE(second->use32BitIndexes) << "booleans are \"true\" exactly";
    EXPECT_EQ(second->operationType, OgreModelSubmesh::TRIANGLE_FAN);
}

TEST_F(MeshLoaderTest, VertexColoursNeedThreeNumbers) {
    const std::string colours[][2] = {{"0.5 0.5", "1 1 1 1"},
                                      {"0.2 0.3 0.4", "0.2 0.3 0.4 1"},
                                      {"0.2 0.3 0.4 0.5", "0.2 0.3 0.4 0.5"},
                                      {"0.1 0.2 0.3 0.4 0.5", "0.1 0.2 0.3 1"}};
    for (int i = 0; i < 4; ++i) {
        const std::string vertices = vertexXml(0, 0, 0, "<colour_diffuse value=\"" + colours[i][0] + "\"/>") +
                                     vertexXml(1, 0, 0) + vertexXml(0, 1, 0);
        const std::string path = writeMesh(
            "colour" + std::to_string(i),
            meshOf("<submesh><faces><face v1=\"0\" v2=\"1\" v3=\"2\"/></faces><geometry><vertexbuffer>" +
                   vertices + "</vertexbuffer></geometry></submesh>"));
        const auto model = load(path);
        ASSERT_TRUE(model);
        const float* colour = firstVertex(*model)->colourDiffuse;
        std::ostringstream text;
        text << colour[0] << " " << colour[1] << " " << colour[2] << " " << colour[3];
        EXPECT_EQ(text.str(), colours[i][1]) << "value \"" << colours[i][0] << "\"";
    }
}

TEST_F(MeshLoaderTest, VertexAttributesFollowTheBufferDeclaration) {
    std::string texcoords;
    for (int set = 0; set < 10; ++set) {
        texcoords += "<texcoord u=\"" + std::to_string(set) + "\" v=\"0.5\" w=\"0.25\"/>";
    }
    const std::string vertex =
        vertexXml(1, 2, 3,
                  "<normal x=\"0\" y=\"0\" z=\"1\"/><binormal x=\"1\" y=\"0\" z=\"0\"/>"
                  "<tangent x=\"0\" y=\"1\" z=\"0\" w=\"-1\"/>" +
                      texcoords);
    const std::string buffer =
        "<vertexbuffer positions=\"true\" normals=\"true\" tangents=\"true\" "
        "tangent_dimensions=\"4\" texture_coords=\"10\" texture_coord_dimensions_0=\"1\" "
        "texture_coord_dimensions_1=\"3\">" +
        vertex + vertexXml(0, 0, 0) + vertexXml(0, 1, 0) + "</vertexbuffer>";
    const auto model = load(writeMesh(
        "attributes", meshOf("<submesh><faces><face v1=\"0\" v2=\"1\" v3=\"2\"/></faces><geometry>" + buffer +
                             "</geometry></submesh>")));
    ASSERT_TRUE(model);
    const OgreModelVertexbuffer* declared =
        model->mesh->submeshes.at("submesh_0")->geometry->vertexBuffers[0];
    EXPECT_TRUE(declared->positions && declared->normals && declared->tangents);
    EXPECT_FALSE(declared->binormals || declared->coloursDiffuse || declared->coloursSpecular);
    EXPECT_EQ(declared->textureCoords, 10);
    EXPECT_EQ(declared->textureCoordDimensions[1], 3);
    EXPECT_EQ(declared->textureCoordDimensions[2], 2);

    const OgreModelVertex* v = firstVertex(*model);
    EXPECT_EQ(v->normal[2], 1.0f);
    EXPECT_EQ(v->binormal[0], 1.0f);
    EXPECT_EQ(v->tangent[1], 1.0f);
    EXPECT_EQ(v->tangent[3], -1.0f);
    EXPECT_EQ(v->texcoords[0][0], 0.0f);
    EXPECT_EQ(v->texcoords[0][1], 0.0f) << "set 0 has one dimension";
    EXPECT_EQ(v->texcoords[1][2], 0.25f) << "set 1 has three";
    EXPECT_EQ(v->texcoords[2][1], 0.5f);
    EXPECT_EQ(v->texcoords[2][2], 0.0f);
    EXPECT_EQ(v->texcoords[7][0], 7.0f) << "sets past the eighth are not kept";
}

TEST_F(MeshLoaderTest, BoundsOfAMeshInPositiveX) {
    const auto model =
        load(writeMesh("right", meshOf(triangleSubmesh("", 2.0f) + triangleSubmesh("", 4.0f))));
    ASSERT_TRUE(model);
    EXPECT_FLOAT_EQ(model->mesh->extents[0], 5.0f);
    EXPECT_FLOAT_EQ(model->mesh->extents[1], 1.0f);
    EXPECT_FLOAT_EQ(model->mesh->extents[2], 0.0f);
    EXPECT_FLOAT_EQ(model->mesh->radius, 5.0f);
}

TEST_F(MeshLoaderTest, BoundsOfAMeshReachingFarthestAlongZ) {
    // Every axis differs, so a radius built from a wrong axis shows.
    const std::string deep = "<submesh usesharedvertices=\"false\"><faces><face v1=\"0\" v2=\"1\" v3=\"2\"/>"
                             "</faces><geometry><vertexbuffer positions=\"true\">" +
                             vertexXml(1, 0, 0) + vertexXml(0, 2, 0) + vertexXml(0, 0, -7) +
                             "</vertexbuffer></geometry></submesh>";
    const auto model = load(writeMesh("deep", meshOf(deep)));
    ASSERT_TRUE(model);
    EXPECT_FLOAT_EQ(model->mesh->extents[2], 7.0f);
    EXPECT_FLOAT_EQ(model->mesh->radius, 7.0f);
}

TEST_F(MeshLoaderTest, SubmeshOnSharedVerticesResolvesAgainstThem) {
    const std::string shared = "<sharedgeometry><vertexbuffer positions=\"true\">" + vertexXml(-3, 0, 0) +
                               vertexXml(0, 0, 0) + "</vertexbuffer><vertexbuffer>" + vertexXml(1, 0, 0) +
                               vertexXml(0, 1, 0) + "</vertexbuffer></sharedgeometry>";
    const auto model = load(writeMesh(
        "shared", meshOf("<submesh><faces><face v1=\"1\" v2=\"2\" v3=\"3\"/></faces></submesh>", shared)));
    ASSERT_TRUE(model);
    const OgreModelSharedgeometry* geometry = model->mesh->sharedGeometry;
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(geometry->vertexCount, 4);
    const OgreModelFace* face = model->mesh->submeshes.at("submesh_0")->faces[0];
    EXPECT_EQ(face->v1, geometry->vertexBuffers[0]->vertices[1]);
    EXPECT_EQ(face->v3, geometry->vertexBuffers[1]->vertices[1]);
    EXPECT_EQ(face->v3->index, 3);
    EXPECT_FLOAT_EQ(model->mesh->extents[0], 3.0f) << "shared vertices count for the bounds";
}

TEST_F(MeshLoaderTest, BrokenSubmeshIsSkippedAndTheRestLoads) {
    const std::string noFaces = "<submesh><geometry/></submesh>";
    const std::string badIndex =
        "<submesh usesharedvertices=\"false\"><faces><face v1=\"0\" v2=\"1\" v3=\"7\"/>"
        "</faces><geometry><vertexbuffer>" +
        vertexXml(0, 0, 0) + vertexXml(1, 0, 0) + "</vertexbuffer></geometry></submesh>";
    const std::string noVertices =
        "<submesh usesharedvertices=\"false\"><faces><face v1=\"0\" v2=\"1\" v3=\"2\"/>"
        "</faces></submesh>";
    const auto model = load(writeMesh("broken", meshOf(noFaces + badIndex + noVertices + triangleSubmesh())));
    ASSERT_TRUE(model);
    ASSERT_EQ(model->mesh->submeshes.size(), 1u);
    EXPECT_EQ(model->mesh->submeshes.begin()->first, "submesh_3");
    EXPECT_EQ(log.count("ERROR MeshLoader: <faces> must exist!"), 1);
    EXPECT_EQ(log.count("refers to a vertex that does not exist"), 2);
}

TEST_F(MeshLoaderTest, MeshWithoutOneSubmeshesElementIsRefused) {
    const std::string path = writeMesh("empty", "<mesh><sharedgeometry/></mesh>");
    EXPECT_FALSE(load(path));
    EXPECT_TRUE(log.contains("ERROR MeshLoader: Invalid Model (<submeshes> must exist! (number=0)"));
    EXPECT_TRUE(log.contains("model could not be loaded. loadModel will return NULL (" + path + ")"));
    EXPECT_FALSE(std::filesystem::exists(path + ".vorm"));

    EXPECT_FALSE(load(writeMesh("double", "<mesh><submeshes/><submeshes/></mesh>")));
    EXPECT_TRUE(log.contains("(number=2)"));
    EXPECT_FALSE(load("../models/missing.mesh"));
}

TEST_F(MeshLoaderTest, AnimationTracksAreBoundAndTheFirstAnimationPlays) {
    const std::string keyframes =
        "<keyframes><keyframe time=\"0\"><position x=\"0\" y=\"0\" z=\"0\"/>"
        "<position x=\"1\" y=\"0\" z=\"0\"/><position x=\"0\" y=\"1\" z=\"0\"/></keyframe>"
        "<keyframe time=\"0.5\"><position x=\"0\" y=\"0\" z=\"1\"/></keyframe></keyframes>";
    const std::string animations =
        "<animations><animation name=\"wave\" length=\"2\"><tracks>"
        "<track target=\"submesh\" index=\"1\" type=\"morph\">" +
        keyframes +
        "</track>"
        "<track target=\"mesh\" type=\"pose\"/><track index=\"5\"/></tracks></animation>"
        "<animation name=\"bob\" length=\"1\"/></animations>";
    const auto model = load(writeMesh("animated", meshOf(triangleSubmesh() + triangleSubmesh(), animations)));
    ASSERT_TRUE(model);
    const OgreModelMesh& mesh = *model->mesh;
    ASSERT_EQ(mesh.animations.size(), 2u);
    const OgreModelAnimation* wave = mesh.animations.at("wave");
    EXPECT_FLOAT_EQ(wave->length, 2.0f);
    ASSERT_EQ(wave->tracks.size(), 3u);
    const OgreModelTrack* morph = wave->tracks[0];
    EXPECT_EQ(morph->type, OgreModelTrack::MORPH);
    ASSERT_EQ(morph->keyframes.size(), 2u);
    EXPECT_FLOAT_EQ(morph->keyframes[1]->time, 0.5f);
    EXPECT_EQ(morph->keyframes[0]->positions.size(), 3u);
    EXPECT_EQ(morph->keyframes[1]->positions[0]->position.z, 1.0f);
    EXPECT_EQ(mesh.submeshes.at("submesh_1")->tracks.at("wave"), morph);
    EXPECT_TRUE(mesh.submeshes.at("submesh_0")->tracks.empty());
    EXPECT_EQ(mesh.meshTracks.at("wave"), wave->tracks[1]);
    EXPECT_EQ(wave->tracks[1]->type, OgreModelTrack::POSE);
    EXPECT_EQ(model->currentAnimation, "bob") << "the first animation in name order plays";
}

// In an installed tree the caches are the player's: written to and read from the cache
// folder, while a mesh shipped as a cache alone is read where it lies and never removed.
TEST_F(MeshLoaderTest, AnInstalledTreeKeepsItsCachesInThePlayersCacheFolder) {
    GameFolders::choose(data.root(), true);
    const std::string path = writeMesh("cube", meshXml(splitCube()));
    ASSERT_TRUE(load(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".vorm"));
    const std::filesystem::path cache = data.root() / "xdg/cache/vorn/models/cube.mesh.vorm";
    EXPECT_TRUE(std::filesystem::exists(cache));
    meshes = std::make_unique<MeshLoader>();
    log.clear();
    ASSERT_TRUE(load(path));
    EXPECT_TRUE(log.contains("VOM exists, trying to load"));
    EXPECT_FALSE(log.contains("trying to load from xml"));

    std::filesystem::rename(cache, data.root() / "models/shipped.mesh.vorm");
    data.write("models/shipped.mesh.xml", "");
    std::filesystem::remove(data.root() / "models/shipped.mesh.xml");
    ASSERT_TRUE(load("../models/shipped.mesh")) << "a cache without its XML is read from the tree";
    data.write("models/stale.mesh.vorm", "22 serialization::archive 19 0 0 12 old-version");
    EXPECT_FALSE(load("../models/stale.mesh"));
    EXPECT_TRUE(std::filesystem::exists(data.root() / "models/stale.mesh.vorm")) << "the tree is not written";
    GameFolders::reset();
}

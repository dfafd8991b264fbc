#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "LogCapture.h"
#include "MeshFixtures.h"
#include "TempDataRoot.h"
#include "core/Util.h"
#include "model/EdgeAnalysis.h"
#include "model/MeshLoader.h"
#include "model/ModelCache.h"

namespace {

// A model with everything a cache carries: seams, a crack, shared geometry and animations.
const char* kAnimations =
    "<animations><animation name=\"sway\" length=\"1.5\"><tracks>"
    "<track target=\"submesh\" index=\"0\"><keyframes><keyframe time=\"0.25\"><position x=\"1\" y=\"2\" "
    "z=\"3\"/>"
    "</keyframe><keyframe time=\"1\"/></keyframes></track><track target=\"mesh\"/></tracks></animation>"
    "</animations>";

std::string richMeshXml() {
    MeshData torus = randomTorus(3, 9, 7, MeshFaults());
    std::string xml = meshXml(torus);
    xml.insert(
        xml.rfind("</mesh>"),
        std::string("<sharedgeometry><vertexbuffer><vertex><position x=\"-7\" y=\"0\" z=\"0\"/></vertex>"
                    "</vertexbuffer></sharedgeometry>") +
            kAnimations);
    return xml;
}

template <class Geometry> std::size_t vertexCount(const Geometry* geometry) {
    std::size_t count = 0;
    for (const OgreModelVertexbuffer* buffer :
         geometry ? geometry->vertexBuffers : decltype(geometry->vertexBuffers){}) {
        count += buffer->vertices.size();
    }
    return count;
}

// Counts, bounds and the crack flag, which vertex objects each face shares with
// others (numbered in first-use order) and which faces each edge joins, as text.
std::string shapeOf(const OgreModelMesh& mesh) {
    std::ostringstream text;
    text << std::setprecision(9) << mesh.submeshes.size() << " submeshes, extents " << mesh.extents[0] << " "
         << mesh.extents[1] << " " << mesh.extents[2] << ", radius " << mesh.radius << ", cracks "
         << mesh.hasCracks << ", " << vertexCount(mesh.sharedGeometry) << " shared vertices\n";
    std::map<const OgreModelVertex*, int> seen;
    for (const auto& [name, submesh] : mesh.submeshes) {
        text << name << ": " << vertexCount(submesh->geometry) << " vertices, " << submesh->faces.size()
             << " faces, " << submesh->edges.size() << " edges\n";
        for (const OgreModelFace* face : submesh->faces) {
            for (const OgreModelVertex* corner : {face->v1, face->v2, face->v3}) {
                text << seen.emplace(corner, static_cast<int>(seen.size())).first->second << " ";
            }
            text << "edges " << face->e1 << " " << face->e2 << " " << face->e3 << "\n";
        }
        for (const OgreModelEdge* edge : submesh->edges) {
            text << "faces " << edge->face1->index << " " << (edge->face2 ? edge->face2->index : -1) << "\n";
        }
    }
    for (const auto& [name, animation] : mesh.animations) {
        text << "animation " << name << ":";
        for (const OgreModelTrack* track : animation->tracks) {
            text << " " << track->keyframes.size() << " keyframes";
        }
        text << "\n";
    }
    return text.str();
}

// The archive text of a cache file, without its newline and checksum line.
std::string archiveOf(const std::string& file) {
    return file.substr(0, file.rfind('\n', file.size() - 2));
}

// The archive header is "22 serialization::archive <library version> 0 <class version> ...":
// the top object's tracking level and class version follow the library version.
std::string withClassVersion(const std::string& file, int version) {
    std::string archive = archiveOf(file);
    const std::size_t libraryVersion = archive.find(' ', archive.find("serialization::archive")) + 1;
    const std::string current = std::to_string(ModelCache::kClassVersion);
    const std::size_t classVersion = archive.find(" 0 " + current + " ", libraryVersion) + 3;
    archive.replace(classVersion, current.size(), std::to_string(version));
    return ModelCache::withChecksum(archive);
}

} // namespace

class ModelCacheTest : public ::testing::Test {
protected:
    // A loader of its own; replacing it forgets every mesh it loaded.
    std::unique_ptr<MeshLoader> meshes = std::make_unique<MeshLoader>();
    ModelCacheTest() {
        path = "../models/thing.mesh";
        data.write("models/thing.mesh.xml", richMeshXml());
    }

    std::string xmlPath() const { return path + ".xml"; }
    std::string cachePath() const { return path + ".vorm"; }

    // A model built from the XML and written to the cache, as the converter does.
    std::unique_ptr<OgreModel> buildAndSave() {
        std::unique_ptr<OgreModel> model(meshes->loadXMLModel(Util::calcHash(nullptr, xmlPath()), xmlPath()));
        owned.reset(model->mesh);
        EXPECT_TRUE(ModelCache::saveModel(*model, cachePath()));
        return model;
    }

    // Reads the cache; null when it was rejected.
    std::unique_ptr<OgreModelMesh> read(const std::string& expectedHash = "") {
        std::unique_ptr<OgreModel> model(ModelCache::loadModelCache(expectedHash, cachePath()));
        std::unique_ptr<OgreModelMesh> mesh(model->mesh);
        const bool rejected = ModelCache::modelChanged;
        ModelCache::modelChanged = false;
        EXPECT_EQ(rejected, mesh == nullptr);
        return mesh;
    }

    void rewriteCache(const std::string& content) {
        std::ofstream(cachePath(), std::ios::binary | std::ios::trunc) << content;
    }

    TempDataRoot data;
    LogCapture log;
    std::string path;
    std::unique_ptr<OgreModelMesh> owned;
};

TEST_F(ModelCacheTest, WrittenModelReadsBackTheSame) {
    const auto written = buildAndSave();
    const auto mesh = read(written->hash);
    ASSERT_TRUE(mesh);
    const std::string expected = shapeOf(*written->mesh);
    EXPECT_NE(expected.find("cracks 1, 1 shared vertices"), std::string::npos);
    EXPECT_NE(expected.find("animation sway: 2 keyframes 0 keyframes"), std::string::npos);
    EXPECT_EQ(shapeOf(*mesh), expected);

    const OgreModelAnimation* sway = mesh->animations.at("sway");
    EXPECT_EQ(mesh->submeshes.at("submesh_0")->tracks.at("sway"), sway->tracks[0])
        << "one track, two holders";
    EXPECT_EQ(mesh->meshTracks.at("sway"), sway->tracks[1]);
    EXPECT_EQ(sway->tracks[0]->keyframes[0]->positions[0]->position.y, 2.0f);
    EXPECT_FLOAT_EQ(sway->length, 1.5f);
    const OgreModelFace* face = mesh->submeshes.at("submesh_0")->faces[5];
    const OgreModelFace* original = written->mesh->submeshes.at("submesh_0")->faces[5];
    EXPECT_EQ(face->normal, original->normal);
    EXPECT_EQ(face->v2->texcoords[0][1], 0.25f);
    EXPECT_EQ(face->edge1, nullptr) << "working fields start empty";
}

TEST_F(ModelCacheTest, StaleCacheIsReplacedInTheSameCall) {
    buildAndSave();
    const std::string oldCache = data.read("models/thing.mesh.vorm");
    std::string xml = data.read("models/thing.mesh.xml");
    xml.replace(xml.find("Stone"), 5, "Stona");
    data.write("models/thing.mesh.xml", xml);

    const std::unique_ptr<OgreModel> model(meshes->loadModel(path));
    ASSERT_TRUE(model && model->mesh);
    EXPECT_TRUE(log.contains("INFO MeshLoader: model has changed, reloading from xml (" + xmlPath() + ")"));
    EXPECT_FALSE(ModelCache::modelChanged);
    EXPECT_EQ(model->mesh->submeshes.at("submesh_0")->material, "Stona");
    const std::string newCache = data.read("models/thing.mesh.vorm");
    EXPECT_NE(newCache, oldCache);
    EXPECT_NE(newCache.find(Util::calcHash(nullptr, xmlPath())), std::string::npos);
}

TEST_F(ModelCacheTest, CurrentCacheIsUsedAndWithoutXmlAnyCacheIs) {
    const auto written = buildAndSave();
    data.write("models/thing.mesh.xml", "<mesh/>");
    {
        const std::unique_ptr<OgreModel> model(meshes->loadModel(path));
        EXPECT_FALSE(model) << "the hash no longer matches and the new XML is no mesh";
    }
    meshes = std::make_unique<MeshLoader>();
    ASSERT_TRUE(ModelCache::saveModel(*written, cachePath()));
    std::filesystem::remove(xmlPath());
    log.clear();
    const std::unique_ptr<OgreModel> model(meshes->loadModel(path));
    ASSERT_TRUE(model && model->mesh);
    EXPECT_TRUE(log.contains("VOM exists, trying to load"));
    EXPECT_FALSE(log.contains("trying to load from xml"));
    EXPECT_EQ(model->hash, written->hash);
    ASSERT_EQ(model->mesh->animations.count("sway"), 1u);
    // The fixture's tracks do not cover the animation, so it is kept but never played.
    EXPECT_TRUE(log.contains("Animation 'sway' has keyframes that do not cover its length, not played"));
    EXPECT_EQ(model->currentAnimation, "");
}

TEST_F(ModelCacheTest, OtherClassVersionsAreRejected) {
    buildAndSave();
    const std::string archive = data.read("models/thing.mesh.vorm");
    const int current = static_cast<int>(ModelCache::kClassVersion);
    ASSERT_NE(withClassVersion(archive, current - 1), archive);
    for (const int version : {current - 1, current + 1}) {
        rewriteCache(withClassVersion(archive, version));
        EXPECT_FALSE(read()) << "version " << version;
    }
    rewriteCache(archive);
    EXPECT_TRUE(read());
    EXPECT_FALSE(read("0123456789ABCDEF0123456789ABCDEF01234567")) << "another XML's hash";
}

TEST_F(ModelCacheTest, DamagedCacheIsRebuiltFromXmlOrGivesNoModel) {
    buildAndSave();
    const std::string archive = data.read("models/thing.mesh.vorm");
    rewriteCache(archive.substr(0, archive.size() / 2));
    {
        const std::unique_ptr<OgreModel> model(meshes->loadModel(path));
        ASSERT_TRUE(model && model->mesh);
        EXPECT_TRUE(log.contains("model has changed, reloading from xml"));
        EXPECT_EQ(data.read("models/thing.mesh.vorm").size(), archive.size()) << "rewritten whole";
    }
    meshes = std::make_unique<MeshLoader>();
    std::filesystem::remove(xmlPath());
    rewriteCache("");
    EXPECT_FALSE(meshes->loadModel(path));
    EXPECT_TRUE(log.contains("model could not be loaded. loadModel will return NULL (" + path + ")"));
    EXPECT_FALSE(std::filesystem::exists(cachePath()));
}

TEST_F(ModelCacheTest, TruncatedCachesNeverLoadHalfAModel) {
    const auto written = buildAndSave();
    const std::string expected = shapeOf(*written->mesh);
    const std::string file = data.read("models/thing.mesh.vorm");
    const std::string archive = archiveOf(file);
    const std::size_t step = archive.size() / 200 + 1;
    for (std::size_t cut = 0; cut < file.size(); cut += step) {
        rewriteCache(file.substr(0, cut));
        EXPECT_FALSE(read()) << "cut at " << cut;
        // The same cut with a checksum that fits it goes on to the archive reader.
        rewriteCache(ModelCache::withChecksum(archive.substr(0, std::min(cut, archive.size()))));
        const auto mesh = read();
        if (mesh) {
            EXPECT_EQ(shapeOf(*mesh), expected) << "cut at " << cut;
        }
    }
}

TEST_F(ModelCacheTest, ChangedCharactersAreNoticed) {
    buildAndSave();
    const std::string file = data.read("models/thing.mesh.vorm");
    std::mt19937 random(11);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string garbled = file;
        garbled[random() % garbled.size()] = "0123456789 x\n"[random() % 13];
        if (garbled != file) {
            rewriteCache(garbled);
            EXPECT_FALSE(read());
        }
    }
}

// Trees a loader would never build, written as they are: the reader must refuse
// them and free every record it made exactly once.
TEST_F(ModelCacheTest, InconsistentRecordsAreRefused) {
    const auto fresh = [] {
        std::unique_ptr<OgreModelMesh> mesh(buildMesh(splitCube()));
        EdgeAnalysis::calcEdges(*mesh);
        return mesh;
    };
    const auto refused = [&](OgreModelMesh& mesh) {
        OgreModel model;
        model.mesh = &mesh;
        EXPECT_TRUE(ModelCache::saveModel(model, cachePath()));
        return !read();
    };
    {
        auto mesh = fresh();
        EXPECT_FALSE(refused(*mesh)) << "the sound tree is accepted";
    }
    {
        auto mesh = fresh();
        mesh->submeshes.at("submesh_0")->faces[3]->e2 = 18;
        EXPECT_TRUE(refused(*mesh)) << "edge index past the list";
    }
    {
        auto mesh = fresh();
        mesh->submeshes.at("submesh_0")->edges[4]->face1 = nullptr;
        EXPECT_TRUE(refused(*mesh)) << "edge without its first face";
    }
    {
        auto mesh = fresh();
        auto* orphan = new OgreModelVertex();
        orphan->position = new OgreModelVertexPosition();
        mesh->submeshes.at("submesh_0")->faces[0]->v2 = orphan;
        EXPECT_TRUE(refused(*mesh)) << "corner in no vertex buffer";
        delete orphan;
    }
    {
        auto mesh = fresh();
        std::vector<OgreModelVertex*>& vertices =
            mesh->submeshes.at("submesh_0")->geometry->vertexBuffers[0]->vertices;
        vertices.push_back(vertices[0]);
        EXPECT_TRUE(refused(*mesh)) << "vertex owned twice";
        vertices.pop_back();
    }
    {
        auto mesh = fresh();
        OgreModelSubmesh* submesh = mesh->submeshes.at("submesh_0");
        mesh->submeshes["again"] = submesh;
        EXPECT_TRUE(refused(*mesh)) << "submesh stored twice";
        mesh->submeshes.erase("again");
    }
}

// The writer dies inside its write: the system ends it with SIGXFSZ the moment its file
// reaches the size limit, which lies well inside the new cache.
TEST_F(ModelCacheTest, CrashWhileWritingLeavesTheOldFile) {
    const auto written = buildAndSave();
    const std::string oldCache = data.read("models/thing.mesh.vorm");
    std::unique_ptr<OgreModelMesh> big(buildMesh(randomTorus(5, 40, 40, MeshFaults())));
    OgreModel bigModel;
    bigModel.mesh = big.get();
    const rlim_t limit = 4096;

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit small{limit, limit};
        const rlimit noCore{0, 0};
        std::signal(SIGXFSZ, SIG_DFL);
        setrlimit(RLIMIT_CORE, &noCore);
        setrlimit(RLIMIT_FSIZE, &small);
        ModelCache::saveModel(bigModel, cachePath());
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the writer got past the limit";
    EXPECT_EQ(data.read("models/thing.mesh.vorm"), oldCache);
    EXPECT_TRUE(read());
    std::vector<std::uintmax_t> partial;
    for (const auto& entry : std::filesystem::directory_iterator(data.root() / "models")) {
        if (entry.path().filename().string().starts_with("thing.mesh.vorm.")) {
            partial.push_back(entry.file_size());
        }
    }
    EXPECT_EQ(partial, std::vector<std::uintmax_t>{limit}) << "the half-written file lies beside the old one";
}

TEST_F(ModelCacheTest, FailedWriteLeavesNoTemporaryFiles) {
    const auto written = buildAndSave();
    std::filesystem::create_directories(data.root() / "models/blocked.vorm");
    data.write("models/blocked.vorm/keep", "x");
    EXPECT_FALSE(ModelCache::saveModel(*written, "../models/blocked.vorm"));
    EXPECT_FALSE(ModelCache::saveModel(*written, "../no-such-folder/thing.vorm"));
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(data.root() / "models")) {
        files.insert(entry.path().filename().string());
    }
    EXPECT_EQ(files, (std::set<std::string>{"blocked.vorm", "thing.mesh.vorm", "thing.mesh.xml"}));
}

// A cache written by one user must be readable by the others that share the game.
TEST_F(ModelCacheTest, CacheFilesHonourTheUmask) {
    for (const auto& [mask, expected] : {std::pair{022, 0644}, std::pair{027, 0640}}) {
        const mode_t previous = ::umask(mask);
        buildAndSave();
        ::umask(previous);
        const auto permissions =
            std::filesystem::status(data.root() / "models/thing.mesh.vorm").permissions();
        EXPECT_EQ(static_cast<int>(permissions & std::filesystem::perms::all), expected) << std::oct << mask;
    }
}

// A cache with a checksum that fits but numbers that do not: the archive reader must
// refuse it without making room for what the numbers claim or indexing by them.
TEST_F(ModelCacheTest, ArchivesWithImpossibleNumbersAreRefused) {
    buildAndSave();
    const std::string archive = archiveOf(data.read("models/thing.mesh.vorm"));
    const std::string hash = Util::calcHash(nullptr, xmlPath());
    const std::size_t hashAt = archive.find(" 40 " + hash);
    ASSERT_NE(hashAt, std::string::npos);
    // The mesh pointer follows the hash: class number 0, tracked, version 0.
    const std::size_t meshPointer = hashAt + 4 + hash.size();
    ASSERT_EQ(archive.compare(meshPointer, 7, " 0 1 0\n"), 0) << archive.substr(0, 120);

    std::string longString = archive;
    longString.replace(hashAt, 4, " 18446744073709551615 ");
    std::string otherClass = archive;
    otherClass.replace(meshPointer, 3, " 77");
    std::string negativeClass = archive;
    negativeClass.replace(meshPointer, 3, " -9");
    for (const std::string& damaged : {longString, otherClass, negativeClass}) {
        std::unique_ptr<OgreModel> model(ModelCache::loadModelCacheContent(
            "", ModelCache::withChecksum(damaged), "../models/thing.mesh.vorm"));
        EXPECT_EQ(model->mesh, nullptr);
        EXPECT_TRUE(ModelCache::modelChanged);
        ModelCache::modelChanged = false;
    }
    EXPECT_EQ(log.count("WARN", "cache file '../models/thing.mesh.vorm' is damaged"), 3);
}

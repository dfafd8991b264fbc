#include "model/ModelCache.h"

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <tuple>
#include <unistd.h>
#include <unordered_set>

#include <boost/archive/text_iarchive.hpp>
#include <boost/archive/text_oarchive.hpp>
#include <boost/serialization/map.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/version.hpp>

#include "app/Log.h"

VORN_FILE_LOGGER("ModelCache")

BOOST_CLASS_VERSION(OgreModel, ModelCache::kClassVersion)

thread_local bool ModelCache::modelChanged = false;

namespace {

// Every record the archive creates while one cache is read. Should the file turn
// out damaged, the records are freed from here, each once, whatever state the
// tree between them was left in.
class LoadedRecords {
public:
    template <class T> void add(T* record) { std::get<std::vector<T*>>(lists).push_back(record); }
    template <class T> const std::vector<T*>& all() const { return std::get<std::vector<T*>>(lists); }

    std::size_t count() const {
        return std::apply([](const auto&... list) { return (list.size() + ...); }, lists);
    }

    void destroyAll() {
        std::apply([](auto&... list) { (destroy(list), ...); }, lists);
    }

private:
    template <class T> static void destroy(std::vector<T*>& list) {
        for (T* record : list) {
            release(*record);
            delete record;
        }
        list.clear();
    }

    // Forgets what a record owns without freeing it; each record is freed from its own list.
    static void release(OgreModelMesh& mesh) {
        mesh.submeshes.clear();
        mesh.animations.clear();
        mesh.meshTracks.clear();
        mesh.sharedGeometry = nullptr;
    }
    static void release(OgreModelSubmesh& submesh) {
        submesh.faces.clear();
        submesh.edges.clear();
        submesh.geometry = nullptr;
        submesh.tracks.clear();
    }
    static void release(OgreModelSharedgeometry& geometry) { geometry.vertexBuffers.clear(); }
    static void release(OgreModelGeometry& geometry) { geometry.vertexBuffers.clear(); }
    static void release(OgreModelVertexbuffer& buffer) { buffer.vertices.clear(); }
    static void release(OgreModelVertex& vertex) { vertex.position = nullptr; }
    static void release(OgreModelAnimation& animation) { animation.tracks.clear(); }
    static void release(OgreModelTrack& track) { track.keyframes.clear(); }
    static void release(OgreModelKeyframe& keyframe) { keyframe.positions.clear(); }
    static void release(OgreModelVertexPosition&) {}
    static void release(OgreModelFace&) {}
    static void release(OgreModelEdge&) {}

    std::tuple<std::vector<OgreModelMesh*>, std::vector<OgreModelSubmesh*>, std::vector<OgreModelSharedgeometry*>,
               std::vector<OgreModelGeometry*>, std::vector<OgreModelVertexbuffer*>, std::vector<OgreModelVertex*>,
               std::vector<OgreModelVertexPosition*>, std::vector<OgreModelFace*>, std::vector<OgreModelEdge*>,
               std::vector<OgreModelAnimation*>, std::vector<OgreModelTrack*>, std::vector<OgreModelKeyframe*>>
        lists;
};

// The read in progress on this thread.
struct LoadInProgress {
    LoadedRecords records;
    std::uint64_t elementLimit = 0; // no list can hold more elements than the file has bytes
};

thread_local LoadInProgress* currentLoad = nullptr;

class ScopedLoad {
public:
    ScopedLoad(LoadInProgress& load) { currentLoad = &load; }
    ~ScopedLoad() { currentLoad = nullptr; }
    ScopedLoad(const ScopedLoad&) = delete;
    ScopedLoad& operator=(const ScopedLoad&) = delete;
};

// A list of record pointers: its element count, then the elements.
template <class Archive, class T> void transferList(Archive& archive, std::vector<T*>& list) {
    if constexpr (Archive::is_saving::value) {
        const std::uint64_t count = list.size();
        archive << count;
        for (T* const& record : list) {
            archive << record;
        }
    } else {
        std::uint64_t count = 0;
        archive >> count;
        if (!currentLoad || count > currentLoad->elementLimit) {
            throw std::length_error("list longer than the file");
        }
        list.reserve(count);
        for (std::uint64_t i = 0; i < count; ++i) {
            T* record = nullptr;
            archive >> record;
            list.push_back(record);
        }
    }
}

} // namespace

namespace boost::serialization {

// Records read through pointers are built here, so that each is known to the read in progress.
#define VORN_TRACK_LOADED_RECORD(Record)                                                                      \
    template <class Archive> void load_construct_data(Archive&, Record* record, const unsigned int) {           \
        ::new (record) Record();                                                                             \
        if (currentLoad) {                                                                                   \
            currentLoad->records.add(record);                                                                \
        }                                                                                                    \
    }

VORN_TRACK_LOADED_RECORD(OgreModelMesh)
VORN_TRACK_LOADED_RECORD(OgreModelSubmesh)
VORN_TRACK_LOADED_RECORD(OgreModelSharedgeometry)
VORN_TRACK_LOADED_RECORD(OgreModelGeometry)
VORN_TRACK_LOADED_RECORD(OgreModelVertexbuffer)
VORN_TRACK_LOADED_RECORD(OgreModelVertex)
VORN_TRACK_LOADED_RECORD(OgreModelVertexPosition)
VORN_TRACK_LOADED_RECORD(OgreModelFace)
VORN_TRACK_LOADED_RECORD(OgreModelEdge)
VORN_TRACK_LOADED_RECORD(OgreModelAnimation)
VORN_TRACK_LOADED_RECORD(OgreModelTrack)
VORN_TRACK_LOADED_RECORD(OgreModelKeyframe)

#undef VORN_TRACK_LOADED_RECORD

template <class Archive> void serialize(Archive& archive, OgreModel& model, const unsigned int version) {
    if (version != ModelCache::kClassVersion) {
        ModelCache::modelChanged = true;
        return;
    }
    archive & model.hash;
    if (!model.expectedHash.empty() && model.expectedHash != model.hash) {
        ModelCache::modelChanged = true;
        return;
    }
    archive & model.mesh;
}

template <class Archive> void serialize(Archive& archive, OgreModelMesh& mesh, const unsigned int) {
    archive & mesh.submeshes;
    archive & mesh.animations;
    archive & mesh.meshTracks;
    archive & mesh.sharedGeometry;
    archive & mesh.extents;
    archive & mesh.radius;
    archive & mesh.hasCracks;
}

template <class Archive> void serialize(Archive& archive, OgreModelSubmesh& submesh, const unsigned int) {
    archive & submesh.index;
    archive & submesh.material;
    transferList(archive, submesh.faces);
    transferList(archive, submesh.edges);
    archive & submesh.faceCount;
    archive & submesh.geometry;
    archive & submesh.operationType;
    archive & submesh.use32BitIndexes;
    archive & submesh.useSharedVertices;
    archive & submesh.tracks;
}

template <class Archive, class Geometry> void serializeGeometry(Archive& archive, Geometry& geometry) {
    archive & geometry.vertexCount;
    transferList(archive, geometry.vertexBuffers);
}

template <class Archive> void serialize(Archive& archive, OgreModelSharedgeometry& geometry, const unsigned int) {
    serializeGeometry(archive, geometry);
}

template <class Archive> void serialize(Archive& archive, OgreModelGeometry& geometry, const unsigned int) {
    serializeGeometry(archive, geometry);
}

template <class Archive> void serialize(Archive& archive, OgreModelVertexbuffer& buffer, const unsigned int) {
    archive & buffer.binormals;
    archive & buffer.coloursDiffuse;
    archive & buffer.coloursSpecular;
    archive & buffer.normals;
    archive & buffer.positions;
    archive & buffer.tangentDimensions;
    archive & buffer.tangents;
    for (int& dimensions : buffer.textureCoordDimensions) {
        archive & dimensions;
    }
    archive & buffer.textureCoords;
    transferList(archive, buffer.vertices);
}

template <class Archive> void serialize(Archive& archive, OgreModelVertex& vertex, const unsigned int) {
    archive & vertex.binormal;
    archive & vertex.colourDiffuse;
    archive & vertex.colourSpecular;
    archive & vertex.index;
    archive & vertex.normal;
    archive & vertex.position;
    archive & vertex.tangent;
    archive & vertex.texcoords;
}

template <class Archive> void serialize(Archive& archive, OgreModelVertexPosition& position, const unsigned int) {
    archive & position.position;
}

template <class Archive> void serialize(Archive& archive, OgreModelFace& face, const unsigned int) {
    archive & face.index;
    archive & face.v1;
    archive & face.e1;
    archive & face.v2;
    archive & face.e2;
    archive & face.v3;
    archive & face.e3;
    archive & face.normal;
}

template <class Archive> void serialize(Archive& archive, OgreModelEdge& edge, const unsigned int) {
    archive & edge.index;
    archive & edge.v1;
    archive & edge.v2;
    archive & edge.face1;
    archive & edge.face2;
}

template <class Archive> void serialize(Archive& archive, OgreModelAnimation& animation, const unsigned int) {
    archive & animation.length;
    archive & animation.name;
    transferList(archive, animation.tracks);
}

template <class Archive> void serialize(Archive& archive, OgreModelTrack& track, const unsigned int) {
    archive & track.index;
    archive & track.target;
    archive & track.type;
    transferList(archive, track.keyframes);
}

template <class Archive> void serialize(Archive& archive, OgreModelKeyframe& keyframe, const unsigned int) {
    archive & keyframe.time;
    transferList(archive, keyframe.positions);
}

} // namespace boost::serialization

namespace {

// Checks that a tree read from a file is one a loader could have built: every
// record owned exactly once, every other pointer aimed at an owned record of
// the right kind, every edge index inside its submesh's edge list.
class TreeCheck {
public:
    explicit TreeCheck(const LoadedRecords& records) : records(records) {}

    bool valid(const OgreModelMesh* mesh) {
        return own(mesh) && ownedTree(*mesh) && references(*mesh) && owned.size() == records.count();
    }

private:
    template <class T> bool own(const T* record) {
        if (!record || !known(record)) {
            return false;
        }
        return owned.insert(record).second;
    }

    template <class T> bool known(const T* record) const {
        const std::vector<T*>& all = records.all<T>();
        auto& set = std::get<std::unordered_set<const T*>>(knownSets);
        if (set.size() != all.size()) {
            set.insert(all.begin(), all.end());
        }
        return set.count(record) != 0;
    }

    template <class T> bool isOwned(const T* record) const {
        return record && known(record) && owned.count(record) != 0;
    }

    template <class T, class Check> bool ownAll(const std::vector<T*>& list, Check check) {
        for (const T* record : list) {
            if (!own(record) || !check(*record)) {
                return false;
            }
        }
        return true;
    }

    bool ownedTree(const OgreModelMesh& mesh) {
        for (const auto& [name, submesh] : mesh.submeshes) {
            if (!own(submesh) || !ownedSubmesh(*submesh)) {
                return false;
            }
        }
        for (const auto& [name, animation] : mesh.animations) {
            if (!own(animation) || !ownedAnimation(*animation)) {
                return false;
            }
        }
        return !mesh.sharedGeometry || (own(mesh.sharedGeometry) && ownedGeometry(*mesh.sharedGeometry));
    }

    bool ownedSubmesh(const OgreModelSubmesh& submesh) {
        const auto leaf = [](const auto&) { return true; };
        return ownAll(submesh.faces, leaf) && ownAll(submesh.edges, leaf) &&
               (!submesh.geometry || (own(submesh.geometry) && ownedGeometry(*submesh.geometry)));
    }

    template <class Geometry> bool ownedGeometry(const Geometry& geometry) {
        return ownAll(geometry.vertexBuffers, [&](const OgreModelVertexbuffer& buffer) {
            return ownAll(buffer.vertices, [&](const OgreModelVertex& vertex) { return own(vertex.position); });
        });
    }

    bool ownedAnimation(const OgreModelAnimation& animation) {
        const auto leaf = [](const auto&) { return true; };
        return ownAll(animation.tracks, [&](const OgreModelTrack& track) {
            return ownAll(track.keyframes,
                          [&](const OgreModelKeyframe& keyframe) { return ownAll(keyframe.positions, leaf); });
        });
    }

    bool references(const OgreModelMesh& mesh) const {
        for (const auto& [name, track] : mesh.meshTracks) {
            if (!isOwned(track)) {
                return false;
            }
        }
        for (const auto& [name, submesh] : mesh.submeshes) {
            if (!references(*submesh)) {
                return false;
            }
        }
        return true;
    }

    bool references(const OgreModelSubmesh& submesh) const {
        const int edgeCount = static_cast<int>(submesh.edges.size());
        const auto inList = [&](int index) { return index >= 0 && index < edgeCount; };
        for (const OgreModelFace* face : submesh.faces) {
            if (!isOwned(face->v1) || !isOwned(face->v2) || !isOwned(face->v3) || !inList(face->e1) ||
                !inList(face->e2) || !inList(face->e3)) {
                return false;
            }
        }
        for (const OgreModelEdge* edge : submesh.edges) {
            if (!isOwned(edge->v1) || !isOwned(edge->v2) || !isOwned(edge->face1) ||
                (edge->face2 && !isOwned(edge->face2))) {
                return false;
            }
        }
        for (const auto& [name, track] : submesh.tracks) {
            if (!isOwned(track)) {
                return false;
            }
        }
        return true;
    }

    const LoadedRecords& records;
    std::unordered_set<const void*> owned;
    mutable std::tuple<std::unordered_set<const OgreModelMesh*>, std::unordered_set<const OgreModelSubmesh*>,
                       std::unordered_set<const OgreModelSharedgeometry*>, std::unordered_set<const OgreModelGeometry*>,
                       std::unordered_set<const OgreModelVertexbuffer*>, std::unordered_set<const OgreModelVertex*>,
                       std::unordered_set<const OgreModelVertexPosition*>, std::unordered_set<const OgreModelFace*>,
                       std::unordered_set<const OgreModelEdge*>, std::unordered_set<const OgreModelAnimation*>,
                       std::unordered_set<const OgreModelTrack*>, std::unordered_set<const OgreModelKeyframe*>>
        knownSets;
};

void syncToDisk(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

// A unique name beside the target, so the rename stays on one file system.
std::string createTemporaryFile(const std::string& cachePath) {
    std::string pattern = cachePath + ".XXXXXX";
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) {
        return "";
    }
    ::close(descriptor);
    return pattern;
}

bool writeArchive(const OgreModel& model, const std::string& path) {
    std::ofstream out(path, std::ios::trunc);
    if (!out) {
        return false;
    }
    {
        boost::archive::text_oarchive archive(out);
        archive << model;
    }
    out.close();
    return static_cast<bool>(out);
}

std::uint64_t fileSize(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

void rejectDamaged(OgreModel& model, LoadInProgress& load, const std::string& cachePath, const std::string& why) {
    LOG_WARN("cache file '" << cachePath << "' is damaged (" << why << ")");
    load.records.destroyAll();
    model.mesh = nullptr;
    ModelCache::modelChanged = true;
}

} // namespace

bool ModelCache::saveModel(const OgreModel& model, const std::string& cachePath) {
    const std::string temporaryPath = createTemporaryFile(cachePath);
    if (temporaryPath.empty()) {
        LOG_ERROR("cannot create a temporary file beside '" << cachePath << "'");
        return false;
    }
    std::error_code error;
    bool written = false;
    try {
        written = writeArchive(model, temporaryPath);
    } catch (const std::exception& exception) {
        LOG_ERROR("writing '" << temporaryPath << "' failed: " << exception.what());
    }
    if (written) {
        syncToDisk(temporaryPath);
        std::filesystem::rename(temporaryPath, cachePath, error);
    }
    if (!written || error) {
        LOG_ERROR("cache file '" << cachePath << "' could not be written");
        std::filesystem::remove(temporaryPath, error);
        return false;
    }
    return true;
}

OgreModel* ModelCache::loadModelCache(const std::string& expectedHash, const std::string& cachePath) {
    modelChanged = false;
    auto* model = new OgreModel();
    model->expectedHash = expectedHash;
    LoadInProgress load;
    load.elementLimit = fileSize(cachePath);
    {
        const ScopedLoad scope(load);
        try {
            std::ifstream in(cachePath);
            if (!in) {
                throw std::runtime_error("cannot open it");
            }
            boost::archive::text_iarchive archive(in);
            archive >> *model;
        } catch (const std::exception& exception) {
            rejectDamaged(*model, load, cachePath, exception.what());
        }
    }
    model->expectedHash.clear();
    if (modelChanged) {
        load.records.destroyAll();
        model->mesh = nullptr;
    } else if (!TreeCheck(load.records).valid(model->mesh)) {
        rejectDamaged(*model, load, cachePath, "inconsistent records");
    }
    return model;
}

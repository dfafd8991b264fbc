#include "model/ModelCache.h"

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <tuple>
#include <unistd.h>
#include <unordered_set>

#include <charconv>
#include <type_traits>

#include <boost/archive/impl/archive_serializer_map.ipp>
#include <boost/archive/impl/basic_text_iarchive.ipp>
#include <boost/archive/impl/basic_text_oarchive.ipp>
#include <boost/archive/impl/text_iarchive_impl.ipp>
#include <boost/archive/impl/text_oarchive_impl.ipp>
#include <boost/archive/text_iarchive.hpp>
#include <boost/archive/text_oarchive.hpp>
#include <boost/serialization/map.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/version.hpp>

#include "core/Log.h"
#include "core/Util.h"

VORN_FILE_LOGGER("ModelCache")

BOOST_CLASS_VERSION(OgreModel, ModelCache::kClassVersion)

namespace {

// Every class a cache holds pointers to. Writer and reader register them first, in
// this order, so their class numbers are known: 0 to kRecordClassCount - 1.
constexpr int kRecordClassCount = 12;

template <class Archive> void registerRecordClasses(Archive& archive) {
    archive.template register_type<OgreModelMesh>();
    archive.template register_type<OgreModelSubmesh>();
    archive.template register_type<OgreModelSharedgeometry>();
    archive.template register_type<OgreModelGeometry>();
    archive.template register_type<OgreModelVertexbuffer>();
    archive.template register_type<OgreModelVertex>();
    archive.template register_type<OgreModelVertexPosition>();
    archive.template register_type<OgreModelFace>();
    archive.template register_type<OgreModelEdge>();
    archive.template register_type<OgreModelAnimation>();
    archive.template register_type<OgreModelTrack>();
    archive.template register_type<OgreModelKeyframe>();
}

// Numbers other than characters and booleans: written and read through the
// shortest exact text, where the library would write every float in full
// scientific notation and read it back through the stream's locale machinery.
template <class T>
constexpr bool kPlainNumber =
    std::is_arithmetic_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
    !std::is_same_v<T, signed char> && !std::is_same_v<T, unsigned char> && !std::is_same_v<T, wchar_t>;

// The library's text archives with faster numbers; the same layout otherwise.
class CacheOutputArchive : public boost::archive::text_oarchive_impl<CacheOutputArchive> {
public:
    explicit CacheOutputArchive(std::ostream& out) : text_oarchive_impl<CacheOutputArchive>(out, 0) {
        init();
    }

    using text_oarchive_impl<CacheOutputArchive>::save;
    template <class T> void save(const T& value) {
        if constexpr (kPlainNumber<T>) {
            newtoken();
            char text[64];
            const std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
            os.write(text, result.ptr - text);
        } else {
            text_oarchive_impl<CacheOutputArchive>::save(value);
        }
    }
};

class CacheInputArchive : public boost::archive::text_iarchive_impl<CacheInputArchive> {
public:
    explicit CacheInputArchive(std::istream& in) : text_iarchive_impl<CacheInputArchive>(in, 0) { init(); }

    using text_iarchive_impl<CacheInputArchive>::load;

    // The library would make room for any length a damaged file names.
    void load(std::string& text) {
        std::size_t size = 0;
        readNumber(size);
        is.get(); // the space between the length and the characters
        if (size > static_cast<std::size_t>(std::max<std::streamsize>(is.rdbuf()->in_avail(), 0))) {
            throw boost::archive::archive_exception(boost::archive::archive_exception::input_stream_error);
        }
        text.resize(size);
        is.read(text.data(), static_cast<std::streamsize>(size));
    }

    // A pointer names its class by number; the library would index its tables with any number.
    void load(boost::archive::class_id_type& id) {
        std::int_least16_t number = 0;
        readNumber(number);
        if (number < -1 || number >= kRecordClassCount) { // -1 stands for a null pointer
            throw boost::archive::archive_exception(boost::archive::archive_exception::unregistered_class);
        }
        id = boost::archive::class_id_type(number);
    }

    template <class T> void load(T& value) {
        if constexpr (kPlainNumber<T>) {
            readNumber(value);
        } else {
            text_iarchive_impl<CacheInputArchive>::load(value);
        }
    }

private:
    template <class T> void readNumber(T& value) {
        std::streambuf* buffer = is.rdbuf();
        int c = buffer->sgetc();
        while (c != std::char_traits<char>::eof() && std::isspace(c)) {
            c = buffer->snextc();
        }
        char text[64];
        std::size_t length = 0;
        while (c != std::char_traits<char>::eof() && !std::isspace(c) && length < sizeof text) {
            text[length++] = static_cast<char>(c);
            c = buffer->snextc();
        }
        const std::from_chars_result result = std::from_chars(text, text + length, value);
        if (length == 0 || result.ec != std::errc() || result.ptr != text + length) {
            throw boost::archive::archive_exception(boost::archive::archive_exception::input_stream_error);
        }
    }
};

} // namespace

template class boost::archive::detail::archive_serializer_map<CacheOutputArchive>;
template class boost::archive::basic_text_oarchive<CacheOutputArchive>;
template class boost::archive::text_oarchive_impl<CacheOutputArchive>;
template class boost::archive::detail::archive_serializer_map<CacheInputArchive>;
template class boost::archive::basic_text_iarchive<CacheInputArchive>;
template class boost::archive::text_iarchive_impl<CacheInputArchive>;

constinit thread_local bool ModelCache::modelChanged = false;

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

    std::tuple<
        std::vector<OgreModelMesh*>, std::vector<OgreModelSubmesh*>, std::vector<OgreModelSharedgeometry*>,
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
#define VORN_TRACK_LOADED_RECORD(Record)                                                                     \
    template <class Archive> void load_construct_data(Archive&, Record* record, const unsigned int) {        \
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

// One member, the list and vector types in their own form.
template <class Archive, class T> void transfer(Archive& archive, std::vector<T*>& list) {
    transferList(archive, list);
}

// A vector goes into the archive as a three-float array.
template <class Archive> void transfer(Archive& archive, Vector3& vector) {
    float coordinates[3] = {vector.x, vector.y, vector.z};
    static_cast<void>(archive & coordinates);
    vector = {coordinates[0], coordinates[1], coordinates[2]};
}

template <class Archive, class T> void transfer(Archive& archive, T& member) {
    static_cast<void>(archive & member);
}

// The members in archive order.
template <class Archive, class... Members> void transferAll(Archive& archive, Members&... members) {
    (transfer(archive, members), ...);
}

template <class Archive> void serialize(Archive& archive, OgreModel& model, const unsigned int version) {
    if (version != ModelCache::kClassVersion) {
        ModelCache::modelChanged = true;
        return;
    }
    transfer(archive, model.hash);
    if (!model.expectedHash.empty() && model.expectedHash != model.hash) {
        ModelCache::modelChanged = true;
        return;
    }
    transfer(archive, model.mesh);
}

template <class Archive> void serialize(Archive& archive, OgreModelMesh& mesh, const unsigned int) {
    transferAll(archive, mesh.submeshes, mesh.animations, mesh.meshTracks, mesh.sharedGeometry, mesh.extents,
                mesh.radius, mesh.hasCracks);
}

template <class Archive> void serialize(Archive& archive, OgreModelSubmesh& submesh, const unsigned int) {
    transferAll(archive, submesh.index, submesh.material, submesh.faces, submesh.edges, submesh.faceCount,
                submesh.geometry, submesh.operationType, submesh.use32BitIndexes, submesh.useSharedVertices,
                submesh.tracks);
}

template <class Archive>
void serialize(Archive& archive, OgreModelSharedgeometry& geometry, const unsigned int) {
    transferAll(archive, geometry.vertexCount, geometry.vertexBuffers);
}

template <class Archive> void serialize(Archive& archive, OgreModelGeometry& geometry, const unsigned int) {
    transferAll(archive, geometry.vertexCount, geometry.vertexBuffers);
}

// The texture coordinate dimensions go one by one, not as an array.
template <class Archive> void serialize(Archive& archive, OgreModelVertexbuffer& buffer, const unsigned int) {
    int* dimensions = buffer.textureCoordDimensions;
    transferAll(archive, buffer.binormals, buffer.coloursDiffuse, buffer.coloursSpecular, buffer.normals,
                buffer.positions, buffer.tangentDimensions, buffer.tangents, dimensions[0], dimensions[1],
                dimensions[2], dimensions[3], dimensions[4], dimensions[5], dimensions[6], dimensions[7],
                buffer.textureCoords, buffer.vertices);
}

template <class Archive> void serialize(Archive& archive, OgreModelVertex& vertex, const unsigned int) {
    transferAll(archive, vertex.binormal, vertex.colourDiffuse, vertex.colourSpecular, vertex.index,
                vertex.normal, vertex.position, vertex.tangent, vertex.texcoords);
}

template <class Archive>
void serialize(Archive& archive, OgreModelVertexPosition& position, const unsigned int) {
    transfer(archive, position.position);
}

template <class Archive> void serialize(Archive& archive, OgreModelFace& face, const unsigned int) {
    transferAll(archive, face.index, face.v1, face.e1, face.v2, face.e2, face.v3, face.e3, face.normal);
}

template <class Archive> void serialize(Archive& archive, OgreModelEdge& edge, const unsigned int) {
    transferAll(archive, edge.index, edge.v1, edge.v2, edge.face1, edge.face2);
}

template <class Archive> void serialize(Archive& archive, OgreModelAnimation& animation, const unsigned int) {
    transferAll(archive, animation.length, animation.name, animation.tracks);
}

template <class Archive> void serialize(Archive& archive, OgreModelTrack& track, const unsigned int) {
    transferAll(archive, track.index, track.target, track.type, track.keyframes);
}

template <class Archive> void serialize(Archive& archive, OgreModelKeyframe& keyframe, const unsigned int) {
    transferAll(archive, keyframe.time, keyframe.positions);
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
            return ownAll(buffer.vertices,
                          [&](const OgreModelVertex& vertex) { return own(vertex.position); });
        });
    }

    bool ownedAnimation(const OgreModelAnimation& animation) {
        const auto leaf = [](const auto&) { return true; };
        return ownAll(animation.tracks, [&](const OgreModelTrack& track) {
            return ownAll(track.keyframes, [&](const OgreModelKeyframe& keyframe) {
                return ownAll(keyframe.positions, leaf);
            });
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
    mutable std::tuple<
        std::unordered_set<const OgreModelMesh*>, std::unordered_set<const OgreModelSubmesh*>,
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

// Damage detection for the archive text (not protection against forgery): the
// archive library trusts its input, so a cache is handed to it only whole.
// Text is taken in pieces whose sizes are multiples of 8, except the last.
class Checksum {
public:
    void add(const char* text, std::size_t size) {
        std::size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, text + i, 8);
            hash = (hash ^ word) * 0x100000001B3ull;
            hash ^= hash >> 29;
        }
        for (; i < size; ++i) {
            hash = (hash ^ static_cast<unsigned char>(text[i])) * 0x100000001B3ull;
        }
    }

    // The line that follows the archive: "checksum <16 hex digits>".
    std::string trailer() const {
        char line[kTrailerSize + 1];
        std::snprintf(line, sizeof line, "checksum %016" PRIX64 "\n", hash);
        return line;
    }

    static constexpr std::size_t kTrailerSize = 9 + 16 + 1;

private:
    std::uint64_t hash = 0xCBF29CE484222325ull;
};

// Passes the archive text on to a file while summing it up.
class ChecksummedFile : public std::streambuf {
public:
    explicit ChecksummedFile(const std::string& path) : file(path, std::ios::binary | std::ios::trunc) {
        setp(buffer, buffer + sizeof buffer);
    }

    // Writes what is left, then the checksum line; false when any write failed.
    bool finish() {
        flushBuffer();
        file << checksum.trailer();
        file.close();
        return !file.fail();
    }

protected:
    int_type overflow(int_type c) override {
        flushBuffer();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

private:
    void flushBuffer() {
        const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
        checksum.add(pbase(), size);
        file.write(pbase(), static_cast<std::streamsize>(size));
        setp(buffer, buffer + sizeof buffer);
    }

    std::ofstream file;
    Checksum checksum;
    char buffer[1 << 16];
};

bool writeArchive(const OgreModel& model, const std::string& path) {
    ChecksummedFile file(path);
    {
        std::ostream out(&file);
        CacheOutputArchive archive(out);
        registerRecordClasses(archive);
        archive << model;
        out << '\n';
    }
    return file.finish();
}

// The size of the archive text at the start of a cache file, 0 when the file is cut short or damaged.
std::size_t verifiedArchiveSize(const std::string& file) {
    if (file.size() <= Checksum::kTrailerSize) {
        return 0;
    }
    const std::size_t size = file.size() - Checksum::kTrailerSize;
    Checksum checksum;
    checksum.add(file.data(), size);
    return file.compare(size, Checksum::kTrailerSize, checksum.trailer()) == 0 ? size : 0;
}

// Reads the archive straight from the text in memory.
class TextBuffer : public std::streambuf {
public:
    TextBuffer(std::string& text, std::size_t size) { setg(text.data(), text.data(), text.data() + size); }
};

void rejectDamaged(OgreModel& model, LoadInProgress& load, const std::string& cachePath,
                   const std::string& why) {
    LOG_WARN("cache file '" << cachePath << "' is damaged (" << why << ")");
    load.records.destroyAll();
    model.mesh = nullptr;
    ModelCache::modelChanged = true;
}

} // namespace

std::string ModelCache::withChecksum(std::string archiveText) {
    archiveText += '\n';
    Checksum checksum;
    checksum.add(archiveText.data(), archiveText.size());
    return archiveText + checksum.trailer();
}

bool ModelCache::saveModel(const OgreModel& model, const std::string& cachePath) {
    const std::string temporaryPath = Util::createUniqueFile(cachePath);
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
    std::optional<std::string> content = Util::readFile(cachePath);
    if (!content) {
        LOG_WARN("cache file '" << cachePath << "' is damaged (cannot open it)");
        modelChanged = true;
        return new OgreModel();
    }
    return loadModelCacheContent(expectedHash, std::move(*content), cachePath);
}

OgreModel* ModelCache::loadModelCacheContent(const std::string& expectedHash, std::string content,
                                             const std::string& cachePath) {
    modelChanged = false;
    auto* model = new OgreModel();
    model->expectedHash = expectedHash;
    LoadInProgress load;
    {
        const ScopedLoad scope(load);
        try {
            const std::size_t size = verifiedArchiveSize(content);
            if (size == 0) {
                throw std::runtime_error("cut short or changed after writing");
            }
            load.elementLimit = size;
            TextBuffer buffer(content, size);
            std::istream in(&buffer);
            CacheInputArchive archive(in);
            registerRecordClasses(archive);
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

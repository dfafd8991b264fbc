#include "audio/SoundManager.h"

#include <AL/alut.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "audio/SoundBody.h"
#include "audio/SoundScene.h"
#include "core/Config.h"
#include "core/ConfigManager.h"
#include "core/Log.h"
#include "core/Util.h"

VORN_FILE_LOGGER("SoundManager")

namespace {

bool endsWithIgnoringCase(const std::string& text, const std::string& ending) {
    if (text.size() < ending.size()) {
        return false;
    }
    return std::equal(ending.rbegin(), ending.rend(), text.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

bool isBusy(const SoundSource& source) {
    const ALint state = source.getState();
    return state == AL_PLAYING || state == AL_PAUSED;
}

// The sound configuration named by "Files:SoundFile", null when none is configured.
Config* findSoundConfig() {
    const std::string path = ConfigManager::getInstance()->getMainConfig()->getString("Files:SoundFile", "");
    return path.empty() ? nullptr : ConfigManager::getInstance()->getConfig(path);
}

// Rates that an audio buffer takes: positive and within its integer.
bool usableFrequency(double frequency) {
    return frequency >= 1.0 && frequency <= std::numeric_limits<ALsizei>::max();
}

constexpr std::size_t kWavReadSlack = 64;

std::uint32_t readLittleEndian(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint32_t readBigEndian(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
}

void writeLittleEndian(unsigned char* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

void writeBigEndian(unsigned char* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[3 - i] = static_cast<unsigned char>(value >> (8 * (3 - i)));
    }
}

// ALUT sets aside the length a chunk declares before reading it, hands on a data chunk
// cut short at its declared length with the missing end left unset, and reads past the
// end of a file that has no data chunk: a few damaged bytes could make it take gigabytes
// or read what is not the file. So the data length is cut to what the file holds, and a
// file whose other chunks run past its end, that has no data chunk, or a Sun audio file
// whose header is incomplete, is refused.
bool fitLengthsToFile(std::vector<unsigned char>& file) {
    const std::size_t size = file.size();
    if (size >= 4 && std::memcmp(file.data(), ".snd", 4) == 0) {
        const std::uint32_t dataStart = size >= 24 ? readBigEndian(&file[4]) : 0;
        if (dataStart < 24 || dataStart > size) {
            return false;
        }
        const auto present = static_cast<std::uint32_t>(size - dataStart);
        writeBigEndian(&file[8], std::min(readBigEndian(&file[8]), present));
        return true;
    }
    if (size < 12 || std::memcmp(file.data(), "RIFF", 4) != 0) {
        return true;
    }
    for (std::size_t offset = 12; offset + 8 <= size;) {
        const std::uint32_t length = readLittleEndian(&file[offset + 4]);
        const std::size_t rest = size - offset - 8;
        if (std::memcmp(&file[offset], "data", 4) == 0) {
            writeLittleEndian(&file[offset + 4],
                              static_cast<std::uint32_t>(std::min<std::size_t>(length, rest)));
            return true;
        }
        if (length > rest) {
            return false;
        }
        offset += 8 + length + (length & 1);
    }
    return false; // no data chunk: ALUT would read on past the end looking for one
}

std::optional<SoundManager::DecodedSound> decodeWav(const void* data, std::size_t size) {
    if (size > static_cast<std::size_t>(std::numeric_limits<ALsizei>::max())) {
        return std::nullopt;
    }
    const auto* begin = static_cast<const unsigned char*>(data);
    std::vector<unsigned char> file(begin, begin + size);
    if (!fitLengthsToFile(file)) {
        LOG_WARN("alutCreateBufferFromFile: " << alutGetErrorString(ALUT_ERROR_CORRUPT_OR_TRUNCATED_DATA));
        return std::nullopt;
    }
    alutGetError();
    SoundManager::DecodedSound sound;
    ALsizei length = 0;
    ALfloat frequency = 0.0f;
    // ALUT reads the numbers of a header without looking where the file ends: past the
    // end it finds zeros, not what lies behind the copy.
    file.resize(size + kWavReadSlack);
    void* samples = alutLoadMemoryFromFileImage(file.data(), static_cast<ALsizei>(size), &sound.format,
                                                &length, &frequency);
    if (!samples) {
        LOG_WARN("alutCreateBufferFromFile: " << alutGetErrorString(alutGetError()));
        return std::nullopt;
    }
    const char* bytes = static_cast<const char*>(samples);
    sound.samples.assign(bytes, bytes + std::max<ALsizei>(length, 0));
    std::free(samples);
    if (!usableFrequency(frequency)) {
        LOG_WARN("alutCreateBufferFromFile: sample rate " << frequency << " out of range");
        return std::nullopt;
    }
    sound.frequency = static_cast<ALsizei>(frequency);
    return sound;
}

// The Ogg file library reads the file's bytes from memory.
struct OggBytes {
    const char* data;
    std::size_t size;
    std::size_t position = 0;

    static std::size_t read(void* target, std::size_t itemSize, std::size_t items, void* source) {
        auto& bytes = *static_cast<OggBytes*>(source);
        const std::size_t wanted = itemSize * items;
        const std::size_t count = std::min(wanted, bytes.size - bytes.position);
        std::memcpy(target, bytes.data + bytes.position, count);
        bytes.position += count;
        return itemSize == 0 ? 0 : count / itemSize;
    }

    static int seek(void* source, ogg_int64_t offset, int whence) {
        auto& bytes = *static_cast<OggBytes*>(source);
        const ogg_int64_t base = whence == SEEK_SET   ? 0
                                 : whence == SEEK_CUR ? static_cast<ogg_int64_t>(bytes.position)
                                                      : static_cast<ogg_int64_t>(bytes.size);
        if (offset < -base || offset > static_cast<ogg_int64_t>(bytes.size) - base) {
            return -1;
        }
        bytes.position = static_cast<std::size_t>(base + offset);
        return 0;
    }

    static long tell(void* source) { return static_cast<long>(static_cast<OggBytes*>(source)->position); }
};

struct OggFile {
    OggVorbis_File file;
    bool open = false;
    ~OggFile() {
        if (open) {
            ov_clear(&file);
        }
    }
};

// The whole stream as 16-bit signed little-endian samples.
std::optional<SoundManager::DecodedSound> decodeOgg(const std::string& fileName, const void* data,
                                                    std::size_t size) {
    OggBytes bytes{static_cast<const char*>(data), size};
    const ov_callbacks callbacks{OggBytes::read, OggBytes::seek, nullptr, OggBytes::tell};
    OggFile ogg;
    const int opened = ov_open_callbacks(&bytes, &ogg.file, nullptr, 0, callbacks);
    if (opened != 0) {
        LOG_WARN("ov_fopen: " << fileName << " (" << opened << ")");
        return std::nullopt;
    }
    ogg.open = true;
    const vorbis_info* info = ov_info(&ogg.file, -1);
    if (!info || info->channels < 1 || info->channels > 2 || !usableFrequency(info->rate)) {
        LOG_WARN("Only mono and stereo OGG files are supported: " << fileName);
        return std::nullopt;
    }
    SoundManager::DecodedSound sound{
        {}, info->channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, static_cast<ALsizei>(info->rate)};
    char chunk[SoundManager::kOggReadSize];
    int bitstream = 0;
    for (;;) {
        const long read = ov_read(&ogg.file, chunk, sizeof chunk, 0, 2, 1, &bitstream);
        if (read == 0) {
            break;
        }
        if (read == OV_HOLE) {
            continue; // a gap in the stream; decoding goes on behind it
        }
        if (read < 0) {
            LOG_WARN("ov_read: " << fileName << " (" << read << ")");
            return std::nullopt;
        }
        sound.samples.insert(sound.samples.end(), chunk, chunk + read);
    }
    return sound;
}

using ProfilePair = std::pair<std::string, std::string>;

// The collision sound of two profiles, keyed in either order. Remembered per
// profile pair, as a level has far more object pairs than profile pairs.
const std::string& collisionFile(const Config& soundConfig, const ProfilePair& profiles,
                                 std::map<ProfilePair, std::string>& known) {
    const auto [entry, added] = known.try_emplace(profiles);
    if (added) {
        const auto& [first, second] = profiles;
        entry->second = soundConfig.getString(("Collisions:" + first + "_" + second).c_str(), "");
        if (entry->second.empty()) {
            entry->second = soundConfig.getString(("Collisions:" + second + "_" + first).c_str(), "");
        }
    }
    return entry->second;
}

} // namespace

SoundManager::SoundManager() {
    deviceOpen = alutInit(nullptr, nullptr) == AL_TRUE;
    if (!deviceOpen) {
        LOG_ERROR("alutInit() failed: " << alutGetErrorString(alutGetError()));
    } else {
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
        alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
        createSources();
    }
    readSettings();
}

SoundManager::~SoundManager() {
    if (!deviceOpen) {
        return;
    }
    rotation.clear();
    pausedSources.clear();
    allSources.clear(); // sources first: a buffer still attached cannot be deleted
    for (const auto& [name, buffer] : buffers) {
        if (buffer != 0) {
            alDeleteBuffers(1, &buffer);
        }
    }
    alutExit();
}

void SoundManager::createSources() {
    if (alGetError() != AL_NO_ERROR) {
        return;
    }
    for (int i = 0; i < kMaxSources; ++i) {
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR) {
            break;
        }
        allSources.push_back(std::make_unique<SoundSource>(source));
        rotation.push_back(allSources.back().get());
    }
    LOG_DEBUG("SoundSources created: " << allSources.size());
}

void SoundManager::readSettings() {
    const Config* soundConfig = findSoundConfig();
    if (!soundConfig) {
        LOG_ERROR("No soundconfigfile found");
        return;
    }
    minimumForce = soundConfig->getFloat("Common:minimumforce", minimumForce);
    maximumDistance = soundConfig->getFloat("Common:maximumdistance", maximumDistance);
    gainFactor = soundConfig->getFloat("Common:gainfactor", gainFactor);
    listenerGain = soundConfig->getFloat("Common:listenergain", 1.0f);
    if (deviceOpen) {
        alListenerf(AL_GAIN, listenerGain * masterVolume);
    }
}

SoundSource* SoundManager::getSource() {
    const std::lock_guard<std::mutex> lock(mutex);
    return takeFreeSource(false);
}

SoundSource* SoundManager::getSourceAndRemoveFromQueue() {
    const std::lock_guard<std::mutex> lock(mutex);
    return takeFreeSource(true);
}

// Busy sources are passed to the back; after kMaxRetries of them the search gives up.
SoundSource* SoundManager::takeFreeSource(bool keep) {
    if (!deviceOpen) {
        return nullptr;
    }
    SoundSource* source = nullptr;
    if (!rotation.empty()) {
        source = rotation.front();
        rotation.pop_front();
        for (int retries = 0; isBusy(*source) && retries < kMaxRetries; ++retries) {
            rotation.push_back(source);
            source = rotation.front();
            rotation.pop_front();
        }
        if (!keep || isBusy(*source)) {
            rotation.push_back(source);
        }
    }
    if (!source || isBusy(*source)) {
        if (keep) {
            LOG_DEBUG("No free SoundSource found!");
        } else {
            LOG_WARN("No free SoundSource found!");
        }
        return nullptr;
    }
    source->reset();
    return source;
}

// Files are decoded outside the lock, so a level loading a long sound never
// stalls the game thread's sound calls; names that fail keep 0 and are not retried.
ALuint SoundManager::getBuffer(const std::string& fileName) {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!deviceOpen) {
            return 0;
        }
        const auto known = buffers.find(fileName);
        if (known != buffers.end()) {
            return known->second;
        }
    }
    const std::optional<DecodedSound> sound = decodeFile(fileName);
    const std::lock_guard<std::mutex> lock(mutex);
    const auto [entry, added] = buffers.try_emplace(fileName, 0);
    if (added && sound) {
        entry->second = upload(fileName, *sound);
        if (entry->second != 0) {
            LOG_DEBUG("Sound loaded: " << fileName);
        }
    }
    return entry->second;
}

bool SoundManager::isWav(const std::string& fileName) {
    return endsWithIgnoringCase(fileName, ".wav");
}

bool SoundManager::isOgg(const std::string& fileName) {
    return endsWithIgnoringCase(fileName, ".ogg");
}

std::optional<SoundManager::DecodedSound> SoundManager::decodeSound(const std::string& fileName,
                                                                    const void* data, std::size_t size) {
    if (isWav(fileName)) {
        return decodeWav(data, size);
    }
    if (isOgg(fileName)) {
        return decodeOgg(fileName, data, size);
    }
    return std::nullopt;
}

std::optional<SoundManager::DecodedSound> SoundManager::decodeFile(const std::string& fileName) {
    if (!isWav(fileName) && !isOgg(fileName)) {
        LOG_WARN("Unknown filetype: " << fileName);
        return std::nullopt;
    }
    const std::optional<std::string> bytes = Util::readFile(fileName);
    if (!bytes) {
        if (isWav(fileName)) {
            LOG_WARN("alutCreateBufferFromFile: " << alutGetErrorString(ALUT_ERROR_IO_ERROR));
        } else {
            LOG_WARN("ov_fopen: " << fileName << " (" << OV_EREAD << ")");
        }
        return std::nullopt;
    }
    std::optional<DecodedSound> sound = decodeSound(fileName, bytes->data(), bytes->size());
    if (sound && sound->samples.size() > static_cast<std::size_t>(std::numeric_limits<ALsizei>::max())) {
        return std::nullopt;
    }
    return sound;
}

ALuint SoundManager::upload(const std::string& fileName, const DecodedSound& sound) {
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, sound.format, sound.samples.data(), static_cast<ALsizei>(sound.samples.size()),
                 sound.frequency);
    const ALenum error = alGetError();
    if (error != AL_NO_ERROR) {
        LOG_WARN("alBufferData: " << fileName << " (" << error << ")");
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    return buffer;
}

bool SoundManager::attachBufferToSource(SoundSource* source, ALuint buffer) {
    const std::lock_guard<std::mutex> lock(mutex);
    return attach(source, buffer);
}

bool SoundManager::attach(SoundSource* source, ALuint buffer) {
    if (!deviceOpen || !source) {
        return false;
    }
    alGetError();
    alSourcei(source->getSource(), AL_BUFFER, static_cast<ALint>(buffer));
    const ALenum error = alGetError();
    if (error != AL_NO_ERROR) {
        LOG_WARN("alSourcei AL_BUFFER: " << error);
        return false;
    }
    return true;
}

SoundSource* SoundManager::createSource(const std::string& fileName) {
    const ALuint buffer = getBuffer(fileName);
    const std::lock_guard<std::mutex> lock(mutex);
    return createKeptSource(buffer);
}

SoundSource* SoundManager::createKeptSource(ALuint buffer) {
    SoundSource* source = takeFreeSource(true);
    if (!source) {
        return nullptr;
    }
    source->reset();
    if (!attach(source, buffer)) {
        rotation.push_back(source); // nobody keeps it, so it must not drop out of the pool
        return nullptr;
    }
    return source;
}

void SoundManager::playSound(const std::string& fileName) {
    const ALuint buffer = getBuffer(fileName);
    const std::lock_guard<std::mutex> lock(mutex);
    SoundSource* source = createKeptSource(buffer);
    if (source) {
        // Pickups and menu clicks sound at the listener, not at the world's origin.
        source->setListenerRelative(true);
        source->setGain(effectsVolume);
        source->play();
        rotation.push_back(source);
    }
}

void SoundManager::setVolumes(float master, float effects) {
    const std::lock_guard<std::mutex> lock(mutex);
    masterVolume = master;
    effectsVolume = effects;
    if (deviceOpen) {
        alListenerf(AL_GAIN, listenerGain * masterVolume);
    }
}

void SoundManager::releaseSource(SoundSource* source) {
    const std::lock_guard<std::mutex> lock(mutex);
    if (!deviceOpen || !source) {
        return;
    }
    source->stop();
    source->reset();
    std::erase(pausedSources, source);
    if (std::find(rotation.begin(), rotation.end(), source) == rotation.end()) {
        rotation.push_back(source);
    }
}

std::string SoundManager::configuredSound(const char* key) {
    const Config* soundConfig = findSoundConfig();
    return soundConfig ? soundConfig->getString(key, "") : "";
}

// Runs on the level-loading thread: the lock is held only for short steps so the
// game thread keeps playing meanwhile.
void SoundManager::loadCollisionSounds(const SoundScene& scene) {
    const Config* soundConfig = findSoundConfig();
    if (!soundConfig) {
        LOG_ERROR("Soundconfigfile not found, no collision sounds will be played!");
        return;
    }
    std::vector<std::pair<const SoundBody*, std::string>> bodies;
    for (const auto& [name, body] : scene.getSoundBodies()) {
        bodies.emplace_back(body, body->getSoundProfile());
    }
    std::map<ProfilePair, std::string> files;
    for (const auto& [a, profileA] : bodies) {
        for (const auto& [b, profileB] : bodies) {
            if (hasCollisionSound(a, b)) {
                continue;
            }
            const std::string& file = collisionFile(*soundConfig, {profileA, profileB}, files);
            if (file.empty()) {
                continue;
            }
            const ALuint buffer = getBuffer(file);
            const std::lock_guard<std::mutex> lock(mutex);
            collisionSounds[a][b] = buffer;
            collisionSounds[b][a] = buffer;
        }
    }
}

bool SoundManager::hasCollisionSound(const SoundBody* a, const SoundBody* b) const {
    const std::lock_guard<std::mutex> lock(mutex);
    return findCollisionBuffer(a, b) != 0;
}

ALuint SoundManager::findCollisionBuffer(const SoundBody* a, const SoundBody* b) const {
    const auto row = collisionSounds.find(a);
    if (row == collisionSounds.end()) {
        return 0;
    }
    const auto entry = row->second.find(b);
    return entry == row->second.end() ? 0 : entry->second;
}

void SoundManager::playCollisionSound(const SoundBody* a, const SoundBody* b, const SoundVector& point,
                                      float force) {
    if (!deviceOpen || !a || !b) {
        return;
    }
    const float mass = a->getSoundMass() + b->getSoundMass();
    if (mass != 0.0f) {
        force /= mass;
    }
    const std::lock_guard<std::mutex> lock(mutex);
    if (!listenerPosition || force < minimumForce || !isAudible(point)) {
        return;
    }
    const ALuint buffer = findCollisionBuffer(a, b);
    if (buffer == 0) {
        return;
    }
    SoundSource* source = takeFreeSource(false);
    if (!source || !attach(source, buffer)) {
        return;
    }
    source->setPosition(point);
    source->setGain(force / gainFactor * effectsVolume);
    source->play();
}

bool SoundManager::isAudible(const SoundVector& point) const {
    float squared = 0.0f;
    for (std::size_t i = 0; i < point.size(); ++i) {
        const float d = point[i] - (*listenerPosition)[i];
        squared += d * d;
    }
    return std::sqrt(squared) <= maximumDistance;
}

void SoundManager::setListener(const SoundVector& position, const std::array<float, 6>& orientation) {
    const std::lock_guard<std::mutex> lock(mutex);
    if (!deviceOpen) {
        return;
    }
    alListenerfv(AL_POSITION, position.data());
    alListenerfv(AL_ORIENTATION, orientation.data());
    listenerPosition = position;
}

void SoundManager::pauseSounds(bool pause) {
    const std::lock_guard<std::mutex> lock(mutex);
    if (pause) {
        if (!pausedSources.empty()) {
            return;
        }
        for (const auto& source : allSources) {
            if (source->isPlaying()) {
                source->pause();
                pausedSources.push_back(source.get());
            }
        }
        return;
    }
    // A source its holder stopped during the pause stays stopped.
    for (SoundSource* source : pausedSources) {
        if (source->isPaused()) {
            source->play();
        }
    }
    pausedSources.clear();
}

std::size_t SoundManager::getQueueSize() const {
    const std::lock_guard<std::mutex> lock(mutex);
    return rotation.size();
}

std::vector<SoundSource*> SoundManager::getAllSources() const {
    const std::lock_guard<std::mutex> lock(mutex);
    std::vector<SoundSource*> sources;
    for (const auto& source : allSources) {
        sources.push_back(source.get());
    }
    return sources;
}

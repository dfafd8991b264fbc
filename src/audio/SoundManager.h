#pragma once

#include "core/Singleton.h"

#include <AL/al.h>

#include <array>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "audio/SoundSource.h"

class Config;
class SoundBody;
class SoundScene;

// Owns everything audible: the audio device, a pool of sources handed out in
// rotation, the decoded buffers by file name, the collision sounds of the
// loaded levels and the listener. Without a usable audio device every call is
// a silent no-op. Levels load on a worker thread that creates sources and
// collision sounds while the game thread plays, so the manager is locked.
class SoundManager : public Singleton<SoundManager> {
    friend class Singleton<SoundManager>;

public:
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // A free source for one sound; it stays in the rotation.
    SoundSource* getSource();
    // A free source the caller keeps; it leaves the rotation for good.
    SoundSource* getSourceAndRemoveFromQueue();
    // The buffer of a WAV or OGG file, decoded on first use; 0 when it cannot be loaded.
    ALuint getBuffer(const std::string& fileName);
    bool attachBufferToSource(SoundSource* source, ALuint buffer);
    // A kept source loaded with the file, or null when none is free.
    SoundSource* createSource(const std::string& fileName);
    // Plays the file once at the listener.
    void playSound(const std::string& fileName);
    // A kept source given back: stopped and in the rotation again.
    void releaseSource(SoundSource* source);
    // The file named under `key` ("Common:checkpoint") in the sound configuration; empty when none.
    static std::string configuredSound(const char* key);
    // Looks up the collision sound of every pair of the scene's objects.
    void loadCollisionSounds(const SoundScene& scene);
    // One contact point between two objects; force is the point's normal force.
    void playCollisionSound(const SoundBody* a, const SoundBody* b, const SoundVector& point, float force);
    // orientation: the look direction followed by the up vector.
    void setListener(const SoundVector& position, const std::array<float, 6>& orientation);
    // true pauses every playing source (once); false resumes exactly those.
    void pauseSounds(bool pause);

    // The player's volumes, 0 to 1: `master` scales everything heard, `effects` the
    // sounds played once (clicks, pickups, collisions).
    void setVolumes(float master, float effects);
    float getEffectsVolume() const { return effectsVolume; }

    bool hasDevice() const { return deviceOpen; }
    std::size_t getQueueSize() const;
    std::vector<SoundSource*> getAllSources() const;

    // Decoded samples for one buffer.
    struct DecodedSound {
        std::vector<char> samples;
        ALenum format = 0;
        ALsizei frequency = 0;
    };
    // A WAV or OGG file's bytes, the type taken from the name's ending; nothing for other
    // types and damaged files. OGG needs no audio device; ALUT decodes WAV only while an
    // audio context is current.
    static std::optional<DecodedSound> decodeSound(const std::string& fileName, const void* data,
                                                   std::size_t size);
    static bool isWav(const std::string& fileName);
    static bool isOgg(const std::string& fileName);

    static constexpr int kMaxSources = 100;
    static constexpr int kMaxRetries = 200;
    static constexpr std::size_t kOggReadSize = 32768;

private:
    SoundManager();

    void createSources();
    void readSettings();
    SoundSource* takeFreeSource(bool keep);
    // Reads and decodes a sound file outside the lock; the result is what a buffer is made from.
    static std::optional<DecodedSound> decodeFile(const std::string& fileName);
    ALuint upload(const std::string& fileName, const DecodedSound& sound);
    bool attach(SoundSource* source, ALuint buffer);
    SoundSource* createKeptSource(ALuint buffer);
    bool hasCollisionSound(const SoundBody* a, const SoundBody* b) const;
    ALuint findCollisionBuffer(const SoundBody* a, const SoundBody* b) const;
    bool isAudible(const SoundVector& point) const;

    bool deviceOpen = false;
    std::deque<SoundSource*> rotation;
    std::vector<std::unique_ptr<SoundSource>> allSources;
    std::vector<SoundSource*> pausedSources;
    std::map<std::string, ALuint> buffers;
    std::map<const SoundBody*, std::map<const SoundBody*, ALuint>> collisionSounds;
    std::optional<SoundVector> listenerPosition;
    float minimumForce = 1000.0f;
    float maximumDistance = 50.0f;
    float gainFactor = 10000.0f;
    float listenerGain = 1.0f;
    float masterVolume = 1.0f;
    float effectsVolume = 1.0f;
    mutable std::mutex mutex;
};

#pragma once

#include "core/FixedStep.h"

#include <AL/al.h>

#include <array>
#include <optional>

// A position or velocity in world space as OpenAL takes it.
using SoundVector = std::array<float, 3>;

// One OpenAL source of the sound manager's pool. The manager owns every source;
// whoever keeps one (level music, an object's own sound, the menu music) holds a
// plain pointer that stays valid until the manager is destroyed.
class SoundSource {
public:
    explicit SoundSource(ALuint source);
    ~SoundSource();
    SoundSource(const SoundSource&) = delete;
    SoundSource& operator=(const SoundSource&) = delete;

    ALuint getSource() const { return source; }

    // Back to the defaults a freshly handed-out source starts with.
    void reset();
    // Moves the source; the velocity follows from the previous position over one physics step.
    void setPosition(const SoundVector& position);
    // Sets the gain and caps it there, so the distance model never raises it.
    void setGain(float gain);
    void setLooping(bool looping);
    void setReferenceDistance(float distance);
    // A relative source sits at its position seen from the listener, wherever the listener goes.
    void setListenerRelative(bool relative);

    void play();
    void pause();
    void stop();
    ALint getState() const;
    bool isPlaying() const { return getState() == AL_PLAYING; }
    bool isPaused() const { return getState() == AL_PAUSED; }

    // Seconds between two physics steps, the span setPosition's velocity covers.

private:
    ALuint source;
    std::optional<SoundVector> lastPosition;
};

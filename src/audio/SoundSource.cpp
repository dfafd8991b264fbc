#include "audio/SoundSource.h"

SoundSource::SoundSource(ALuint sourceName) : source(sourceName) {}

SoundSource::~SoundSource() {
    alDeleteSources(1, &source);
}

void SoundSource::reset() {
    lastPosition.reset();
    alSourcef(source, AL_REFERENCE_DISTANCE, 1.0f);
    // A collision sound caps the gain of its source; the next user of the source must not inherit that cap.
    alSourcef(source, AL_GAIN, 1.0f);
    alSourcef(source, AL_MAX_GAIN, 1.0f);
    alSourcei(source, AL_LOOPING, AL_FALSE);
    alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
}

void SoundSource::setPosition(const SoundVector& position) {
    alSourcefv(source, AL_POSITION, position.data());
    SoundVector velocity{0.0f, 0.0f, 0.0f};
    if (lastPosition) {
        for (std::size_t i = 0; i < velocity.size(); ++i) {
            velocity[i] = (position[i] - (*lastPosition)[i]) / kStepSeconds;
        }
    }
    alSourcefv(source, AL_VELOCITY, velocity.data());
    lastPosition = position;
}

void SoundSource::setGain(float gain) {
    alSourcef(source, AL_GAIN, gain);
    alSourcef(source, AL_MAX_GAIN, gain);
}

void SoundSource::setLooping(bool looping) {
    alSourcei(source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
}

void SoundSource::setReferenceDistance(float distance) {
    alSourcef(source, AL_REFERENCE_DISTANCE, distance);
}

void SoundSource::setListenerRelative(bool relative) {
    alSourcei(source, AL_SOURCE_RELATIVE, relative ? AL_TRUE : AL_FALSE);
}

void SoundSource::play() {
    alSourcePlay(source);
}

void SoundSource::pause() {
    alSourcePause(source);
}

void SoundSource::stop() {
    alSourceStop(source);
}

ALint SoundSource::getState() const {
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

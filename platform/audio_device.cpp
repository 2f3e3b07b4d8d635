#include "platform/audio_device.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <cstdlib>
#include <cstring>

namespace platform {

struct AudioDevice {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
};

struct AudioVoice {
    ALCcontext* context = nullptr;
    ALuint buffer = 0;
    ALuint source = 0;
};

namespace {

// Several clients in one process (tests) each own a device; OpenAL calls act on the current one.
void MakeCurrent(ALCcontext* context) {
    if (alcGetCurrentContext() != context) {
        alcMakeContextCurrent(context);
    }
}

bool EnvIs(const char* name, const char* value) {
    const char* set = std::getenv(name);
    return set != nullptr && std::strcmp(set, value) == 0;
}

ALenum BufferFormat(const PcmSamples& samples) {
    const bool stereo = samples.channels == 2;
    if (samples.bitsPerSample == 8) {
        return stereo ? AL_FORMAT_STEREO8 : AL_FORMAT_MONO8;
    }
    return stereo ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

}  // namespace

void AudioDeviceDeleter::operator()(AudioDevice* device) const {
    if (alcGetCurrentContext() == device->context) {
        alcMakeContextCurrent(nullptr);
    }
    alcDestroyContext(device->context);
    alcCloseDevice(device->device);
    delete device;
}

void AudioVoiceDeleter::operator()(AudioVoice* voice) const {
    MakeCurrent(voice->context);
    alSourceStop(voice->source);
    alSourcei(voice->source, AL_BUFFER, 0);
    alDeleteSources(1, &voice->source);
    alDeleteBuffers(1, &voice->buffer);
    delete voice;
}

AudioDevicePtr OpenAudioDevice(std::string& error) {
    if (EnvIs("SDL_AUDIODRIVER", "dummy") || EnvIs("SDL_VIDEODRIVER", "dummy")) {
        // A headless run: OpenAL's null output, rather than sound systems that are not there and
        // complain about it. Read by OpenAL when it first opens a device.
        setenv("ALSOFT_DRIVERS", "null", 0);
    }
    ALCdevice* device = alcOpenDevice(nullptr);
    if (device == nullptr) {
        error = "no sound output could be opened";
        return nullptr;
    }
    // The mix runs at CD rate, in stereo, like the sounds' primary format.
    const ALCint attributes[] = {ALC_FREQUENCY, 44100, 0};
    ALCcontext* context = alcCreateContext(device, attributes);
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        error = "the sound output refused a context";
        if (context != nullptr) {
            alcDestroyContext(context);
        }
        alcCloseDevice(device);
        return nullptr;
    }
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    const ALfloat orientation[6] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f};  // looking along +z, y up
    alListenerfv(AL_ORIENTATION, orientation);
    if (alGetError() != AL_NO_ERROR) {
        error = "the sound output has no usable listener";
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(device);
        return nullptr;
    }
    return AudioDevicePtr(new AudioDevice{device, context});
}

AudioVoicePtr CreateAudioVoice(AudioDevice& device, const PcmSamples& samples, std::string& error) {
    MakeCurrent(device.context);
    alGetError();
    auto voice = AudioVoicePtr(new AudioVoice{device.context, 0, 0});
    alGenBuffers(1, &voice->buffer);
    alGenSources(1, &voice->source);
    if (alGetError() != AL_NO_ERROR) {
        error = "the sound output has no room for another sound";
        return nullptr;
    }
    alBufferData(voice->buffer, BufferFormat(samples), samples.data, static_cast<ALsizei>(samples.size),
                 samples.sampleRate);
    alSourcei(voice->source, AL_BUFFER, static_cast<ALint>(voice->buffer));
    if (alGetError() != AL_NO_ERROR) {
        error = "the sound output refused the samples";
        return nullptr;
    }
    return voice;
}

void SetVoiceDistanceAndVelocity(AudioVoice& voice, float minDistance, Vec3 velocity) {
    MakeCurrent(voice.context);
    alSourcef(voice.source, AL_REFERENCE_DISTANCE, minDistance);
    alSource3f(voice.source, AL_VELOCITY, velocity.x, velocity.y, velocity.z);
}

void PlayVoice(AudioVoice& voice, bool looping) {
    MakeCurrent(voice.context);
    alSourcei(voice.source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    if (!VoiceIsPlaying(voice)) {
        alSourcePlay(voice.source);
    }
}

void StopVoice(AudioVoice& voice) {
    MakeCurrent(voice.context);
    alSourceStop(voice.source);
}

bool VoiceIsPlaying(const AudioVoice& voice) {
    MakeCurrent(voice.context);
    ALint state = AL_STOPPED;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

bool VoiceIsLooping(const AudioVoice& voice) {
    MakeCurrent(voice.context);
    ALint looping = AL_FALSE;
    alGetSourcei(voice.source, AL_LOOPING, &looping);
    return looping == AL_TRUE;
}

}  // namespace platform

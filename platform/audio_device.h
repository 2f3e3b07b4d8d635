#pragma once
// Sound output through OpenAL: one open device with its context and listener, and voices, each
// a static buffer of PCM samples with the source that plays it. With no output available the
// device does not open and the game stays silent.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/vecmath.h"

namespace platform {

struct AudioDevice;
struct AudioVoice;

struct AudioDeviceDeleter {
    void operator()(AudioDevice* device) const;
};
struct AudioVoiceDeleter {
    void operator()(AudioVoice* voice) const;
};
using AudioDevicePtr = std::unique_ptr<AudioDevice, AudioDeviceDeleter>;
// A voice must be released before the device it was made on.
using AudioVoicePtr = std::unique_ptr<AudioVoice, AudioVoiceDeleter>;

struct PcmSamples {
    int channels = 0;       // 1 or 2
    int sampleRate = 0;     // frames per second
    int bitsPerSample = 0;  // 8 (unsigned) or 16 (signed)
    const uint8_t* data = nullptr;
    size_t size = 0;  // bytes, whole frames
};

// Opens the default output with a listener at the origin. When the SDL video or audio driver is
// "dummy" (a headless run) and no OpenAL driver is named, OpenAL's null output is used, which
// plays nothing. nullptr and a reason in error when there is no output.
AudioDevicePtr OpenAudioDevice(std::string& error);

// A voice holding a copy of the samples. nullptr and a reason in error when the output refuses them.
AudioVoicePtr CreateAudioVoice(AudioDevice& device, const PcmSamples& samples, std::string& error);
// The distance within which the voice is heard at full volume, and its velocity.
void SetVoiceDistanceAndVelocity(AudioVoice& voice, float minDistance, Vec3 velocity);
// Starts the voice from its beginning, once or looping. A voice that is already playing plays on.
void PlayVoice(AudioVoice& voice, bool looping);
void StopVoice(AudioVoice& voice);
bool VoiceIsPlaying(const AudioVoice& voice);
bool VoiceIsLooping(const AudioVoice& voice);

}  // namespace platform

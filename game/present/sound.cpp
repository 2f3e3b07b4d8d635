#include "game/present/sound.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "game/present/wav_file.h"

namespace present {

namespace {

// Every sound is heard at full volume within this distance of the listener, and moves towards it.
constexpr float kMinimumDistance = 40.0f;
constexpr platform::Vec3 kVelocity{0.0f, 0.0f, -50.0f};
// Larger files are not sound effects; reading stops there.
constexpr std::streamsize kLargestFile = 64 * 1024 * 1024;

bool IsTableId(GameSound id) {
    const auto value = static_cast<uint32_t>(id);
    return value <= static_cast<uint32_t>(GameSound::Notify) && value != 15;
}

SoundNode* FindNode(SoundSystem& sound, GameSound id) {
    auto found = std::find_if(sound.nodes.begin(), sound.nodes.end(),
                              [id](const SoundNode& node) { return node.id == id; });
    return found != sound.nodes.end() ? &*found : nullptr;
}

bool ReadSoundFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "it cannot be opened";
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamsize size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < 0 || size > kLargestFile) {
        error = "it is too large for a sound";
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    if (in.gcount() != size) {
        error = "it cannot be read";
        return false;
    }
    return true;
}

platform::AudioVoicePtr MakeVoice(SoundSystem& sound, const std::string& path, std::string& error) {
    if (sound.device == nullptr) {
        error = "there is no sound output";
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    WavSound wav;
    if (!ReadSoundFile(path, bytes, error) || !ParseWav(bytes, wav, error)) {
        return nullptr;
    }
    const platform::PcmSamples samples{wav.channels, wav.sampleRate, wav.bitsPerSample, wav.samples.data(),
                                       wav.samples.size()};
    platform::AudioVoicePtr voice = platform::CreateAudioVoice(*sound.device, samples, error);
    if (voice != nullptr) {
        platform::SetVoiceDistanceAndVelocity(*voice, kMinimumDistance, kVelocity);
    }
    return voice;
}

}  // namespace

const std::vector<SoundFile>& SoundLoadOrder() {
    static const std::vector<SoundFile> order = {
        {GameSound::ButtonOv, "Sound/ButtonOv.wav"}, {GameSound::Wood, "Sound/Wood.wav"},
        {GameSound::Iron, "Sound/Iron.wav"},         {GameSound::Putt, "Sound/Putt.wav"},
        {GameSound::Pitch, "Sound/Pitch.wav"},       {GameSound::SPitch, "Sound/SPitch.wav"},
        {GameSound::Send, "Sound/Send.wav"},         {GameSound::DnHole, "Sound/DnHole.wav"},
        {GameSound::DnWater, "Sound/DnWater.wav"},   {GameSound::DnGreen, "Sound/DnGreen.wav"},
        {GameSound::DnTree, "Sound/DnTree.wav"},     {GameSound::DnSand, "Sound/DnSand.wav"},
        {GameSound::Good, "Sound/Good.wav"},         {GameSound::VeryGood, "Sound/VeryGood.wav"},
        {GameSound::Notify, "Sound/Notify.wav"},     {GameSound::Background, "Sound/Back.wav"},
    };
    return order;
}

bool InitSoundSystem(SoundSystem& sound) {
    std::string error;
    sound.device = platform::OpenAudioDevice(error);
    if (sound.device == nullptr) {
        sound.enabled = false;  // no output: the game runs silently, without a word
        return false;
    }
    for (const SoundFile& entry : SoundLoadOrder()) {
        CreateSound(sound, entry.id, entry.file);
    }
    return true;
}

SoundNode& CreateSound(SoundSystem& sound, GameSound id, const std::string& file) {
    SoundNode& node = sound.nodes.emplace_back();
    node.id = id;
    node.file = file;
    std::string error;
    node.voice = MakeVoice(sound, sound.root + file, error);
    if (node.voice == nullptr) {
        std::fprintf(stderr, "Brightlea: the sound \"%s\" stays silent: %s\n", file.c_str(), error.c_str());
    }
    return node;
}

void PlayGameSound(SoundSystem& sound, GameSound id) {
    if (!sound.enabled || !IsTableId(id)) {
        return;
    }
    SoundNode* node = FindNode(sound, id);
    if (node == nullptr || node->voice == nullptr) {
        return;
    }
    platform::PlayVoice(*node->voice, id == GameSound::Background);
    if (sound.onPlay) {
        sound.onPlay(id);
    }
}

void StopBackgroundSound(SoundSystem& sound) {
    if (!sound.enabled) {
        return;
    }
    SoundNode* node = FindNode(sound, GameSound::Background);
    if (node != nullptr && node->voice != nullptr && platform::VoiceIsPlaying(*node->voice)) {
        platform::StopVoice(*node->voice);
    }
}

void ReplaceBackgroundSound(SoundSystem& sound, const std::string& file) {
    if (!sound.enabled || sound.device == nullptr) {
        return;
    }
    std::erase_if(sound.nodes, [](const SoundNode& node) { return node.id == GameSound::Background; });
    CreateSound(sound, GameSound::Background, file);
}

std::string BackgroundSoundFile(const SoundSystem& sound) {
    for (const SoundNode& node : sound.nodes) {
        if (node.id == GameSound::Background) {
            return node.file;
        }
    }
    return "";
}

void ReleaseSoundSystem(SoundSystem& sound) {
    sound.nodes.clear();
    sound.device.reset();
}

}  // namespace present

#pragma once
// The game's sounds: a fixed table of short effects and one looping background sound, loaded from
// WAV files in "Sound/" and played by id. Without a sound output everything here does nothing and
// the game runs silently.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/audio_device.h"

namespace present {

// The ids the match flow plays sounds by. Values outside the table (15, 17 and above) are ignored.
enum class GameSound : uint32_t {
    Wood = 0,  // driver and woods
    Iron = 1,
    Pitch = 2,   // pitching wedge
    SPitch = 3,  // sand wedge
    Send = 4,    // a soft shot, or a shot out of a bad lie
    Putt = 5,
    DnHole = 6,  // the ball drops into the cup
    DnWater = 7,
    DnGreen = 8,  // the ball lands on grass, or touches a bush
    DnTree = 9,
    DnSand = 10,
    Good = 11,      // holed in par
    VeryGood = 12,  // holed under par
    Background = 13,
    ButtonOv = 14,  // every button click
    Notify = 16,    // notices and refusals
};

// Told of every sound that starts (tests record what a match plays).
using SoundPlayHook = std::function<void(GameSound)>;

struct SoundNode {
    GameSound id = GameSound::Wood;
    std::string file;               // as the game names it, "Sound/Wood.wav"
    platform::AudioVoicePtr voice;  // empty when the file could not be played
};

struct SoundSystem {
    bool enabled = true;  // cleared when no output could be opened; then nothing here acts
    std::string root;     // prefix of the sound files: empty in the game, which runs in its folder
    platform::AudioDevicePtr device;
    std::vector<SoundNode> nodes;  // in the order they were made; released before the device
    SoundPlayHook onPlay;
};

// The table's files in load order, the background sound last.
struct SoundFile {
    GameSound id;
    const char* file;
};
const std::vector<SoundFile>& SoundLoadOrder();

// Opens the output and loads every sound of the table. false (and the sound system disabled) when
// there is no output; a file that cannot be played leaves only its own sound silent.
bool InitSoundSystem(SoundSystem& sound);
// Adds a sound made from file (relative to root) at the end of the list. The node stays, without a
// voice, when the file is missing or cannot be played; the reason goes to standard error.
SoundNode& CreateSound(SoundSystem& sound, GameSound id, const std::string& file);
// Plays the id's sound: the background sound looping, the others once.
void PlayGameSound(SoundSystem& sound, GameSound id);
void StopBackgroundSound(SoundSystem& sound);
// Drops the background sound and makes a new one from file.
void ReplaceBackgroundSound(SoundSystem& sound, const std::string& file);
// The file the background sound was made from; empty when there is none.
std::string BackgroundSoundFile(const SoundSystem& sound);
// Releases every sound, then the output.
void ReleaseSoundSystem(SoundSystem& sound);

}  // namespace present

// The sound table on the null output (the tests run with ALSOFT_DRIVERS=null): load order, which
// ids play and how, the background sound's replacement, and a disabled sound system.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "game/present/sound.h"
#include "tests/present/wav_bytes.h"

namespace {

namespace fs = std::filesystem;
using present::GameSound;

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Two seconds of quiet at a low rate: long enough to be still playing when a test looks.
std::vector<uint8_t> QuietSound() {
    return wav_bytes::Mono16(std::vector<int16_t>(16000, 3), 8000);
}

class SoundTable : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("brightlea-sound-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        for (const present::SoundFile& entry : present::SoundLoadOrder()) {
            WriteFile(root_ / entry.file, QuietSound());
        }
        WriteFile(root_ / "Sound/SBack02.wav", QuietSound());
        sound_.root = root_.string() + "/";
        sound_.onPlay = [this](GameSound id) { played_.push_back(id); };
    }

    // false: no sound output at all, not even the null one.
    bool Init() { return present::InitSoundSystem(sound_); }

    void TearDown() override {
        present::ReleaseSoundSystem(sound_);
        fs::remove_all(root_);
    }

    const present::SoundNode* Node(GameSound id) const {
        for (const present::SoundNode& node : sound_.nodes) {
            if (node.id == id) {
                return &node;
            }
        }
        return nullptr;
    }

    fs::path root_;
    present::SoundSystem sound_;
    std::vector<GameSound> played_;
};

TEST_F(SoundTable, LoadsEveryFileInTheTableOrder) {
    if (!Init()) {
        GTEST_SKIP() << "no sound output, not even the null one";
    }
    const std::vector<GameSound> order = {
        GameSound::ButtonOv, GameSound::Wood,     GameSound::Iron,   GameSound::Putt,
        GameSound::Pitch,    GameSound::SPitch,   GameSound::Send,   GameSound::DnHole,
        GameSound::DnWater,  GameSound::DnGreen,  GameSound::DnTree, GameSound::DnSand,
        GameSound::Good,     GameSound::VeryGood, GameSound::Notify, GameSound::Background};
    ASSERT_EQ(sound_.nodes.size(), order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(sound_.nodes[i].id, order[i]) << i;
        EXPECT_NE(sound_.nodes[i].voice, nullptr) << sound_.nodes[i].file;
    }
    EXPECT_EQ(Node(GameSound::Background)->file, "Sound/Back.wav");
    EXPECT_EQ(Node(GameSound::DnHole)->file, "Sound/DnHole.wav");
}

TEST_F(SoundTable, PlaysTableIdsAndIgnoresTheOthers) {
    if (!Init()) {
        GTEST_SKIP() << "no sound output, not even the null one";
    }
    for (uint32_t id = 0; id <= 20; ++id) {
        present::PlayGameSound(sound_, static_cast<GameSound>(id));
    }
    present::PlayGameSound(sound_, static_cast<GameSound>(0xFFFFFFFFu));
    ASSERT_EQ(played_.size(), 16u);
    for (GameSound id : played_) {
        EXPECT_NE(static_cast<uint32_t>(id), 15u);
        EXPECT_LE(static_cast<uint32_t>(id), 16u);
    }
    // The background loops; effects play once.
    EXPECT_TRUE(platform::VoiceIsPlaying(*Node(GameSound::Background)->voice));
    EXPECT_TRUE(platform::VoiceIsLooping(*Node(GameSound::Background)->voice));
    EXPECT_TRUE(platform::VoiceIsPlaying(*Node(GameSound::Wood)->voice));
    EXPECT_FALSE(platform::VoiceIsLooping(*Node(GameSound::Wood)->voice));

    present::StopBackgroundSound(sound_);
    EXPECT_FALSE(platform::VoiceIsPlaying(*Node(GameSound::Background)->voice));
    EXPECT_TRUE(platform::VoiceIsPlaying(*Node(GameSound::Wood)->voice));
}

TEST_F(SoundTable, ABadFileSilencesOnlyItsOwnSound) {
    WriteFile(root_ / "Sound/Iron.wav", {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF, 'W', 'A', 'V', 'E'});
    fs::remove(root_ / "Sound/Putt.wav");
    if (!Init()) {
        GTEST_SKIP() << "no sound output, not even the null one";
    }
    ASSERT_EQ(sound_.nodes.size(), present::SoundLoadOrder().size());
    EXPECT_EQ(Node(GameSound::Iron)->voice, nullptr);
    EXPECT_EQ(Node(GameSound::Putt)->voice, nullptr);
    present::PlayGameSound(sound_, GameSound::Iron);
    present::PlayGameSound(sound_, GameSound::Putt);
    present::PlayGameSound(sound_, GameSound::Wood);
    EXPECT_EQ(played_, std::vector<GameSound>{GameSound::Wood});
}

TEST_F(SoundTable, ReplacingTheBackgroundKeepsExactlyOne) {
    if (!Init()) {
        GTEST_SKIP() << "no sound output, not even the null one";
    }
    present::PlayGameSound(sound_, GameSound::Background);
    present::ReplaceBackgroundSound(sound_, "Sound/SBack02.wav");
    present::ReplaceBackgroundSound(sound_, "Sound/SBack02.wav");
    int backgrounds = 0;
    for (const present::SoundNode& node : sound_.nodes) {
        backgrounds += node.id == GameSound::Background ? 1 : 0;
    }
    EXPECT_EQ(backgrounds, 1);
    EXPECT_EQ(sound_.nodes.size(), present::SoundLoadOrder().size());
    EXPECT_EQ(present::BackgroundSoundFile(sound_), "Sound/SBack02.wav");
    ASSERT_NE(Node(GameSound::Background)->voice, nullptr);
    EXPECT_FALSE(platform::VoiceIsPlaying(*Node(GameSound::Background)->voice));  // waits for its play

    // A missing file leaves the background silent but still in its place.
    present::ReplaceBackgroundSound(sound_, "Sound/SBack04.wav");
    EXPECT_EQ(present::BackgroundSoundFile(sound_), "Sound/SBack04.wav");
    present::PlayGameSound(sound_, GameSound::Background);
    EXPECT_EQ(played_, std::vector<GameSound>{GameSound::Background});
}

TEST_F(SoundTable, DisabledSoundChangesNothing) {
    if (!Init()) {
        GTEST_SKIP() << "no sound output, not even the null one";
    }
    present::PlayGameSound(sound_, GameSound::Background);
    sound_.enabled = false;
    present::PlayGameSound(sound_, GameSound::Wood);
    present::StopBackgroundSound(sound_);
    present::ReplaceBackgroundSound(sound_, "Sound/SBack02.wav");
    EXPECT_EQ(played_, std::vector<GameSound>{GameSound::Background});
    EXPECT_EQ(present::BackgroundSoundFile(sound_), "Sound/Back.wav");
    EXPECT_TRUE(platform::VoiceIsPlaying(*Node(GameSound::Background)->voice));
    EXPECT_FALSE(platform::VoiceIsPlaying(*Node(GameSound::Wood)->voice));
}

TEST_F(SoundTable, NeverInitialisedSoundIsSilentAndSafe) {
    // A client whose sound was never set up (no window) may still be asked to play and replace.
    present::PlayGameSound(sound_, GameSound::Wood);
    present::ReplaceBackgroundSound(sound_, "Sound/SBack02.wav");
    present::PlayGameSound(sound_, GameSound::Background);
    present::StopBackgroundSound(sound_);
    EXPECT_TRUE(played_.empty());
}

TEST_F(SoundTable, ReleaseDropsEverySoundThenTheOutput) {
    if (!Init()) {
        GTEST_SKIP() << "no sound output, not even the null one";
    }
    present::PlayGameSound(sound_, GameSound::Background);
    present::ReleaseSoundSystem(sound_);
    EXPECT_TRUE(sound_.nodes.empty());
    EXPECT_EQ(sound_.device, nullptr);
}

}  // namespace

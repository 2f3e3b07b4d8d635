// The shell's sound steps on the null output: the game's sounds load from the game folder, each
// hole's background loop is put in place and started, and a client without sound stays quiet.
#include <gtest/gtest.h>

#include <vector>

#include "game/shell/client.h"
#include "game/shell/launch/launch_files.h"
#include "game/shell/view/sounds.h"
#include "tests/present/wav_bytes.h"
#include "tests/shell/game_directory.h"

namespace {

using present::GameSound;

class SoundSteps : public GameDirectory {
  protected:
    void SetUp() override {
        GameDirectory::SetUp();
        const std::vector<uint8_t> quiet = wav_bytes::Mono16(std::vector<int16_t>(16000, 2), 8000);
        for (const present::SoundFile& entry : present::SoundLoadOrder()) {
            Write(entry.file, std::string(quiet.begin(), quiet.end()));
        }
        for (const char* name : {"Sound/SBack00.wav", "Sound/SBack02.wav"}) {
            Write(name, std::string(quiet.begin(), quiet.end()));
        }
        client_.sound.onPlay = [this](GameSound id) { played_.push_back(id); };
    }
    void TearDown() override {
        shell::ReleaseSoundSystem(client_);
        GameDirectory::TearDown();
    }

    // Sets the hole's background loop the way the hole settings do.
    void EnterHole(int courseCode, int hole) {
        const char* loop = shell::HoleBackgroundSound(courseCode, hole);
        CopyCut(client_.config.backgroundLoop, sizeof(client_.config.backgroundLoop), loop ? loop : "");
        shell::StartBackgroundSound(client_);
    }

    int BackgroundCount() const {
        int count = 0;
        for (const present::SoundNode& node : client_.sound.nodes) {
            count += node.id == GameSound::Background ? 1 : 0;
        }
        return count;
    }

    static void CopyCut(char* out, size_t size, const char* text) { std::snprintf(out, size, "%s", text); }

    shell::Client client_;
    std::vector<GameSound> played_;
};

TEST_F(SoundSteps, EachHoleStartsItsOwnBackgroundLoop) {
    shell::InitSoundSystem(client_);
    if (!client_.sound.enabled) {
        GTEST_SKIP() << "no sound output, not even the null one";
    }
    ASSERT_EQ(client_.sound.nodes.size(), present::SoundLoadOrder().size());

    EnterHole(1, 1);  // a course without its own loops keeps the first one
    EXPECT_EQ(present::BackgroundSoundFile(client_.sound), "Sound/Back.wav");
    EnterHole(6, 0);
    EXPECT_EQ(present::BackgroundSoundFile(client_.sound), "Sound/SBack00.wav");
    EnterHole(6, 2);
    EnterHole(6, 7);  // no loop of its own: the last one plays on
    EXPECT_EQ(present::BackgroundSoundFile(client_.sound), "Sound/SBack02.wav");
    EXPECT_EQ(BackgroundCount(), 1);
    EXPECT_EQ(played_, std::vector<GameSound>(4, GameSound::Background));

    shell::PlayGameSound(client_, GameSound::ButtonOv);
    shell::PlayGameSound(client_, static_cast<GameSound>(15));
    EXPECT_EQ(played_.back(), GameSound::ButtonOv);
    EXPECT_EQ(played_.size(), 5u);

    // Leaving the hole (the next hole, or a snapshot of another) stops its loop.
    shell::StopBackgroundSound(client_);
    for (const present::SoundNode& node : client_.sound.nodes) {
        if (node.id == GameSound::Background && node.voice != nullptr) {
            EXPECT_FALSE(platform::VoiceIsPlaying(*node.voice));
        }
    }
}

TEST_F(SoundSteps, ClientWithoutSoundStaysQuiet) {
    // No InitSoundSystem: the client of a test without a window.
    EnterHole(6, 2);
    shell::PlayGameSound(client_, GameSound::Wood);
    EXPECT_TRUE(played_.empty());
    EXPECT_TRUE(client_.sound.nodes.empty());
}

}  // namespace

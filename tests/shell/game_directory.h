#pragma once
// A test fixture that runs each test in an empty game directory of its own.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/shell/launch/launch_loader.h"

namespace fs = std::filesystem;

// A game directory of its own, made the current directory for the test.
class GameDirectory : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = fs::current_path();
        root_ = fs::temp_directory_path() / ("brightlea-launch-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
        fs::current_path(root_);
    }

    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(root_);
    }

    static void Write(const std::string& path, const std::string& bytes) {
        if (fs::path(path).has_parent_path()) {
            fs::create_directories(fs::path(path).parent_path());
        }
        std::ofstream(path, std::ios::binary) << bytes;
    }

    // A complete English installation with a match file.
    static void WriteAll() {
        Write("Option.ini", "LANGUAGE ENG\r\nACC3DOPT 0\r\n");
        Write("Info/ENG/Start.ini", "CLUBCODE 6\r\nTEAMPLAY 1\r\nPLAYERID 0 \"Ann Lee\"\r\nMYNO 0\r\n");
        Write("Image/ENG/GameString.ini",
              "0033 No match file\r\n0034 No texts\r\n0036 No word list\r\n0037 Bad word list\r\n"
              "0038 Damaged word list\r\n0039 Blocked\r\n");
        Write("Info/ENG/ChatMessage.ini", "Nice shot!\r\nGood luck\r\n");
        Write("Info/ENG/Abuse.fns", std::string("FNST\0\0\0\0\0\0\0\0", 12));
    }

    std::vector<std::string> boxes_;
    shell::ErrorBox box_ = [this](const char* text) { boxes_.emplace_back(text); };

  private:
    fs::path previous_;
    fs::path root_;
};

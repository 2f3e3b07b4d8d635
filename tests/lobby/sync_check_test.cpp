// Comparing the clients' state logs.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "lobby/sync_check.h"

namespace fs = std::filesystem;

namespace {

class SyncCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("brightlea-synccheck-" + std::to_string(std::random_device{}()));
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    std::string Log(const std::string& name, const std::string& text) {
        const fs::path path = root_ / name;
        std::ofstream(path) << text;
        return path.string();
    }
    fs::path root_;
};

TEST_F(SyncCheck, EqualLogsAgreeAndTheFirstDifferenceIsNamed) {
    const std::string a = Log("a", "shot 1\nshot 2\nhole-end\n");
    const std::string b = Log("b", "shot 1\nshot 2\nhole-end\n");
    const std::string c = Log("c", "shot 1\nshot 2x\nhole-end\n");
    lobby::SyncVerdict v = lobby::CompareStateLogs({a, b});
    EXPECT_TRUE(v.agree);
    EXPECT_EQ(v.lines, 3u);
    EXPECT_EQ(lobby::SyncVerdictJson(v, 2), R"({"agree":true,"clients":2,"lines":3,"type":"sync"})");

    v = lobby::CompareStateLogs({a, b, c});
    EXPECT_FALSE(v.agree);
    EXPECT_EQ(v.line, 2u);
    EXPECT_EQ(v.client, 2u);
    EXPECT_EQ(v.expected, "shot 2");
    EXPECT_EQ(v.found, "shot 2x");
}

TEST_F(SyncCheck, AShortOrMissingLogDisagrees) {
    const std::string a = Log("a", "shot 1\nshot 2\n");
    const std::string shorter = Log("b", "shot 1\n");
    lobby::SyncVerdict v = lobby::CompareStateLogs({a, shorter});
    EXPECT_FALSE(v.agree);
    EXPECT_EQ(v.line, 2u);
    EXPECT_EQ(v.found, "");

    EXPECT_FALSE(lobby::CompareStateLogs({(root_ / "none").string(), a}).agree);
    EXPECT_FALSE(lobby::CompareStateLogs({}).agree);
}

TEST_F(SyncCheck, LeaversSawTheStartAndObserversTheEndFromTheirSecondLine) {
    using lobby::LogRole;
    const std::string full = Log("full", "shot 1\nshot 2\nshot 3\nshot 4\n");
    const std::string left = Log("left", "shot 1\nshot 2\n");
    const std::string watched = Log("watched", "shot 2 half seen\nshot 3\nshot 4\n");
    lobby::SyncVerdict v = lobby::CompareClientLogs({{left, LogRole::kLeaver},
                                                     {full, LogRole::kFinisher},
                                                     {full, LogRole::kFinisher},
                                                     {watched, LogRole::kObserver}});
    EXPECT_TRUE(v.agree);
    EXPECT_EQ(v.lines, 4u);

    const std::string wrongStart = Log("wrongStart", "shot 1\nshot 2x\n");
    v = lobby::CompareClientLogs({{full, LogRole::kFinisher}, {wrongStart, LogRole::kLeaver}});
    EXPECT_FALSE(v.agree);
    EXPECT_EQ(v.client, 1u);
    EXPECT_EQ(v.line, 2u);

    const std::string stoppedEarly = Log("stoppedEarly", "shot 0\nshot 2\nshot 3\n");
    v = lobby::CompareClientLogs({{full, LogRole::kFinisher}, {stoppedEarly, LogRole::kObserver}});
    EXPECT_FALSE(v.agree);
    EXPECT_EQ(v.line, 4u);
    EXPECT_EQ(v.expected, "shot 4");

    // Without anyone who played to the end the longest leaver's log is the reference.
    v = lobby::CompareClientLogs({{left, LogRole::kLeaver}, {full, LogRole::kLeaver}});
    EXPECT_TRUE(v.agree);
    EXPECT_EQ(v.lines, 4u);
}

}  // namespace

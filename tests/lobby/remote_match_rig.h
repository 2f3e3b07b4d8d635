#pragma once
// Matches across machines on the loopback interface: a hosting Ravelin and joining Ravelins, each
// with its own work folder, run as programs with scripted clients (RavelinProbe).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/course/hole_files.h"
#include "tests/lobby/net_helpers.h"
#include "tests/lobby/report_lines.h"

namespace fixtures {

inline constexpr const char* kCode = "TESTCODE42";

class RemoteMatchRig : public ::testing::Test {
  public:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("brightlea-remote-" + std::to_string(std::random_device{}()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_ / "data" / "Info" / "ENG");
        std::filesystem::create_directories(root_ / "data" / "Map" / "Club_01" / "Hole_01");
        std::ofstream(root_ / "data" / "Option.ini") << "LANGUAGE ENG\n";
        fixtures::WriteHoleFiles(root_ / "data", 1, 1);
    }
    void TearDown() override {
        if (HasFailure()) {
            std::cerr << "kept for a look: " << root_ << std::endl;
        } else {
            std::filesystem::remove_all(root_);
        }
    }

    std::string Common(const std::string& work) const {
        const std::string bin = BRIGHTLEA_BIN_DIR;
        return bin + "/Ravelin --data " + (root_ / "data").string() + " --client " + bin +
               "/RavelinProbe --work " + (root_ / work).string() + " --max-seconds 60";
    }
    // Starts the host; returns its port (0 when it did not start listening).
    uint16_t Host(const std::string& players, const std::string& remote,
                  const std::string& environment = "") {
        host_ = std::make_unique<nettest::Background>(
            environment + " " + Common("host") + " --host --port 0 --code " + kCode + " --players " +
            players + " --remote " + remote + " < /dev/null > " + Out("host") + " 2> " + Err("host"));
        return nettest::WaitForHostPort(Out("host"));
    }
    std::unique_ptr<nettest::Background> Join(const std::string& name, const std::string& address,
                                              const std::string& extra = "") {
        return std::make_unique<nettest::Background>(Common(name) + " --join " + address + " --name " + name +
                                                     " --code " + kCode + " " + extra + " < /dev/null > " +
                                                     Out(name) + " 2> " + Err(name));
    }
    std::string Out(const std::string& who) const { return (root_ / (who + ".out")).string(); }
    std::string Err(const std::string& who) const { return (root_ / (who + ".err")).string(); }
    // Packets with an empty recipient as a client received them, in order.
    std::vector<std::string> Broadcast(const std::filesystem::path& log) const {
        std::vector<std::string> lines;
        for (const std::string& line : Lines(log)) {
            if (line.find("||") != std::string::npos) {
                lines.push_back(line);
            }
        }
        return lines;
    }
    std::filesystem::path HostClientLog(int index) const {
        return root_ / "host" / ("client-" + std::to_string(index)) / "received.log";
    }
    std::filesystem::path JoinerLog(const std::string& name) const {
        return root_ / name / "client" / "received.log";
    }

    std::filesystem::path root_;
    std::unique_ptr<nettest::Background> host_;
};

}  // namespace fixtures

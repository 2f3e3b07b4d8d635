// Matches across machines on the loopback interface: a hosting Ravelin and joining Ravelins, each
// with its own work folder, run as programs with scripted clients (RavelinProbe); a proxy delays
// or cuts a link; raw peers try what a hostile machine on the network could.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "game/shell/lobby/lobby_packet.h"
#include "lobby/remote_frame.h"
#include "tests/course/hole_files.h"
#include "tests/lobby/net_helpers.h"
#include "tests/lobby/remote_match_rig.h"
#include "tests/lobby/report_lines.h"

namespace fs = std::filesystem;
using fixtures::Count;
using fixtures::Lines;
using lobby::FrameType;
using nettest::Background;

namespace {

using fixtures::kCode;

class RemoteMatch : public fixtures::RemoteMatchRig {};

TEST_F(RemoteMatch, ThreeRavelinsRelayOneOrderToLocalAndRemoteClients) {
    const uint16_t port = Host("Ann,Bob,Cy", "Bob,Cy");
    ASSERT_NE(port, 0);
    const std::string at = ":" + std::to_string(port);
    // An observer seated before the start, over IPv6; the players over IPv4, one through a proxy
    // that delays every chunk.
    auto eve = Join("Eve", "[::1]" + at, "--observe");
    ASSERT_TRUE(nettest::WaitForLine(Out("host"), R"("name":"Eve")"));
    nettest::TcpProxy slow(port, 30, 0);
    auto bob = Join("Bob", "127.0.0.1:" + std::to_string(slow.Port()));
    auto cy = Join("Cy", "localhost" + at);

    EXPECT_EQ(host_->Wait(), 0) << Lines(Err("host")).size();
    EXPECT_EQ(bob->Wait(), 0);
    EXPECT_EQ(cy->Wait(), 0);
    EXPECT_EQ(eve->Wait(), 0);

    // The players' broadcasts reach every client in one order. The observer's own lines are left
    // out of the comparison: the last of them may arrive after some clients have gone.
    const auto playersLines = [this](const fs::path& log) {
        std::vector<std::string> lines = Broadcast(log);
        std::erase_if(lines, [](const std::string& line) { return line.rfind("Eve||", 0) == 0; });
        return lines;
    };
    const std::vector<std::string> ann = playersLines(HostClientLog(0));
    for (const char* player : {"Ann||94|", "Bob||94|", "Cy||94|"}) {
        EXPECT_EQ(Count(ann, player), 1u) << player;
    }
    EXPECT_GE(ann.size(), 3u * (2 * 20 + 2));
    EXPECT_EQ(playersLines(JoinerLog("Bob")), ann);
    EXPECT_EQ(playersLines(JoinerLog("Cy")), ann);
    EXPECT_EQ(playersLines(JoinerLog("Eve")), ann);  // seated before the start, it sees everything
    // Snapshots addressed across machines arrive only where they were sent.
    EXPECT_EQ(Count(Lines(JoinerLog("Bob")), "Ann|Bob|17|"), 1u);
    EXPECT_EQ(Count(Lines(HostClientLog(0)), "Cy|Ann|17|"), 1u);
    // Remote players' reports are written by the host like a local client's.
    EXPECT_EQ(Count(Lines(Out("host")), R"({"from":"Cy","hole":1,"strokes":5,"type":16})"), 1u);
}

TEST_F(RemoteMatch, ACutLinkIsReportedAsLeavingAndTheOthersFinish) {
    const uint16_t port =
        Host("Ann,Bob,Cy", "Bob,Cy", "RAVELIN_PROBE_ROLES=Ann=slow RAVELIN_PROBE_WAIT_MS=1500");
    ASSERT_NE(port, 0);
    // Cy's link is cut after about half of what his client sends.
    nettest::TcpProxy cutter(port, 5, 1500);
    auto bob = Join("Bob", "127.0.0.1:" + std::to_string(port));
    auto cy = Join("Cy", "127.0.0.1:" + std::to_string(cutter.Port()));

    EXPECT_EQ(host_->Wait(), 0);
    EXPECT_EQ(bob->Wait(), 0);
    EXPECT_EQ(cy->Wait(), 6);  // the link to the host was lost during the match
    EXPECT_TRUE(cutter.Cut());
    EXPECT_EQ(Count(Lines(HostClientLog(0)), "|Cy|91|"), 1u);
    EXPECT_EQ(Count(Lines(JoinerLog("Bob")), "|Cy|91|"), 1u);
    // Cy's client is told why its game ends, then that the match is closed.
    const std::vector<std::string> cyGot = Lines(JoinerLog("Cy"));
    EXPECT_EQ(Count(cyGot, "||82|"), 1u);
    EXPECT_EQ(Count(cyGot, "||97|"), 1u);
    EXPECT_EQ(Count(Lines(HostClientLog(0)), "Bob||94|"), 1u);
    EXPECT_EQ(Count(Lines(JoinerLog("Bob")), "Ann||94|"), 1u);
}

TEST_F(RemoteMatch, ASilentRemotePlayerIsReportedAsLeaving) {
    const uint16_t port = Host("Ann,Bob", "Bob");
    ASSERT_NE(port, 0);
    nettest::RawPeer bob("127.0.0.1", port);
    ASSERT_TRUE(bob.Join(false, "Bob", kCode));
    FrameType type;
    std::vector<uint8_t> payload;
    ASSERT_TRUE(bob.ReadFrame(type, payload));
    EXPECT_EQ(type, FrameType::kSeated);
    ASSERT_TRUE(bob.ReadFrame(type, payload));
    EXPECT_EQ(type, FrameType::kSettings);
    EXPECT_NE(lobby::FrameText(payload).find(R"("name":"Bob")"), std::string::npos);
    // Bob says nothing more and reads nothing: after the silence limit the host lets him go.
    EXPECT_EQ(host_->Wait(), 0);
    EXPECT_EQ(Count(Lines(HostClientLog(0)), "|Bob|91|"), 1u);
    EXPECT_EQ(Count(Lines(Err("host")), "Bob's link ended: silent"), 1u);
}

std::vector<uint8_t> Packet(const std::string& sender, uint32_t type, const std::string& text) {
    std::vector<uint8_t> payload = {static_cast<uint8_t>(type), 0, 0, 0};
    payload.insert(payload.end(), text.begin(), text.end());
    payload.push_back(0);
    payload.push_back(0);
    return shell::BuildLobbyPacket(sender.c_str(), "", payload.data(), static_cast<uint32_t>(payload.size()));
}

// Joins as an observer with a raw connection; true once the settings have come.
bool JoinRaw(nettest::RawPeer& peer, const std::string& name, const std::string& code = kCode) {
    if (!peer.Join(true, name, code)) {
        return false;
    }
    FrameType type;
    std::vector<uint8_t> payload;
    while (peer.ReadFrame(type, payload, 5000)) {
        if (type == FrameType::kSettings) {
            return true;
        }
        if (type == FrameType::kBye) {
            return false;
        }
    }
    return false;
}

TEST_F(RemoteMatch, HostilePeersNeitherJoinNorStopTheMatch) {
    // Ann's client waits before it plays, so that everything below happens while the match runs.
    const uint16_t port = Host("Ann,Bob", "Bob", "RAVELIN_PROBE_ROLES=Ann=slow RAVELIN_PROBE_WAIT_MS=14000");
    ASSERT_NE(port, 0);
    // Before the start: a seat the host does not keep for remote players, and a half-open
    // connection that sends half a header and nothing more.
    nettest::RawPeer local("127.0.0.1", port);
    ASSERT_TRUE(local.Join(false, "Ann", kCode));
    EXPECT_NE(local.ReadUntilBye().find("no seat kept for that name"), std::string::npos);
    // (Each from an address of its own: refusals are told one by one only a few times per address.)
    nettest::RawPeer halfOpen("127.0.0.1", port, "127.0.0.6");
    halfOpen.Send({0x10, 0x00});
    nettest::RawPeer silent("127.0.0.1", port, "127.0.0.7");  // connects and says nothing at all

    auto bob = Join("Bob", "127.0.0.1:" + std::to_string(port));
    ASSERT_TRUE(nettest::WaitForLine(Err("host"), "the match starts"));

    nettest::RawPeer late("::1", port);
    ASSERT_TRUE(late.Join(false, "Bob", kCode));
    EXPECT_NE(late.ReadUntilBye().find("the match has started"), std::string::npos);

    nettest::RawPeer garbage("::1", port);
    garbage.Send({0xDE, 0xAD, 0xBE, 0xEF, 0x99, 1, 2, 3});
    EXPECT_NE(garbage.ReadUntilBye().find("unknown type"), std::string::npos);

    nettest::RawPeer oversized("::1", port);
    oversized.Send({0x00, 0x00, 0x00, 0x40, 0x01});  // a hello of a gigabyte
    EXPECT_NE(oversized.ReadUntilBye().find("over its size limit"), std::string::npos);

    nettest::RawPeer notHello("::1", port);
    notHello.SendFrame(FrameType::kPacket, Packet("Ann", shell::kMsgChat, "hi"));
    EXPECT_NE(notHello.ReadUntilBye().find("must start the key exchange"), std::string::npos);

    // An observer with the code who claims to be Ann, sends what observers may not, oversized and
    // flooding frames: refused packet by packet, cut for flooding, never relayed.
    nettest::RawPeer mallory("::1", port);
    ASSERT_TRUE(JoinRaw(mallory, "Mallory"));
    mallory.SendFrame(FrameType::kPacket, Packet("Ann", shell::kMsgChat, "I am Ann"));
    mallory.SendFrame(FrameType::kPacket, Packet("Mallory", shell::kMsgCloseMatch, ""));
    mallory.SendFrame(FrameType::kPacket, Packet("Mallory", shell::kMsgChat, "hello from Mallory"));
    mallory.SendFrame(FrameType::kPacket, std::vector<uint8_t>(30, 0xFF));
    for (int i = 0; i < 400000 && mallory.SendAll(mallory.Frame(FrameType::kKeepAlive, {}), 3000); ++i) {
    }

    // Wrong codes: the host's proof does not check out, one guess each; after three, that address
    // waits even with the right code.
    for (int i = 0; i < 3; ++i) {
        nettest::RawPeer guess("127.0.0.1", port, "127.0.0.5");
        std::string failure;
        EXPECT_FALSE(
            guess.Join(true, "Guess" + std::to_string(i), "WRONGCODE" + std::to_string(i), &failure));
        EXPECT_EQ(failure, "another code");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the host has seen them leave
    nettest::RawPeer waiting("127.0.0.1", port, "127.0.0.5");
    EXPECT_NE(waiting.ReadUntilBye().find("try again later"), std::string::npos);
    {
        nettest::RawPeer other("::1", port);  // another address may still join
        EXPECT_TRUE(JoinRaw(other, "Watcher"));
    }

    EXPECT_EQ(host_->Wait(), 0);
    EXPECT_EQ(bob->Wait(), 0);
    const std::vector<std::string> ann = Lines(HostClientLog(0));
    EXPECT_EQ(Count(ann, "Bob||94|"), 1u);
    EXPECT_EQ(Count(Lines(JoinerLog("Bob")), "Ann||94|"), 1u);
    EXPECT_EQ(Count(ann, "Mallory||0|"), 1u);  // its one honest line
    EXPECT_EQ(Count(ann,
                    "Ann||0|00000000"
                    "4920616d20416e6e"),
              0u);  // "I am Ann" never arrives
    EXPECT_EQ(Count(ann, "||97|"), 0u);
    const std::vector<std::string> log = Lines(Err("host"));
    EXPECT_EQ(Count(log, "refused a packet from Mallory: a sender name that is not the seat's"), 1u);
    EXPECT_EQ(Count(log, "refused a packet from Mallory: a type this client may not send"), 1u);
    EXPECT_EQ(Count(log, "refused a packet from Mallory: cut short"), 1u);
    EXPECT_EQ(Count(log, "Mallory's link ended: flooding"), 1u);
    EXPECT_EQ(Count(Lines(Out("host")), R"({"event":"removed","name":"Mallory","reason":"flooding"})"), 1u);
    EXPECT_GE(Count(log, "ended before it joined: no hello in time"), 2u);  // half-open and silent
    EXPECT_EQ(Count(Lines(Out("host")), R"("reason":"a wrong join code)"), 3u);
}

}  // namespace

// The frames between two Ravelins, the join code and its guard, the settings a joiner receives and
// the HOST:PORT a joiner is given: pure logic, checked with hand-made bytes and an injected clock.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "lobby/join_guard.h"
#include "lobby/join_session.h"
#include "lobby/remote_frame.h"
#include "lobby/remote_settings.h"

namespace {

using lobby::FrameFault;
using lobby::FrameHeader;
using lobby::FrameType;

TEST(RemoteFrame, HeadersAreLengthThenTypeAndEachTypeHasItsLimit) {
    FrameHeader h;
    const uint8_t packet[5] = {0x2D, 0x01, 0x00, 0x00, 0x04};  // 301 bytes of lobby packet
    ASSERT_EQ(lobby::ReadFrameHeader(packet, h), FrameFault::kNone);
    EXPECT_EQ(h.type, FrameType::kPacket);
    EXPECT_EQ(h.length, 301u);

    const uint8_t largestPacket[5] = {0x00, 0x00, 0x01, 0x00, 0x04};  // 65536
    EXPECT_EQ(lobby::ReadFrameHeader(largestPacket, h), FrameFault::kNone);
    const uint8_t overPacket[5] = {0x01, 0x00, 0x01, 0x00, 0x04};
    EXPECT_EQ(lobby::ReadFrameHeader(overPacket, h), FrameFault::kTooLong);
    const uint8_t huge[5] = {0xFF, 0xFF, 0xFF, 0xFF, 0x04};
    EXPECT_EQ(lobby::ReadFrameHeader(huge, h), FrameFault::kTooLong);
    const uint8_t keepAliveWithBody[5] = {0x01, 0x00, 0x00, 0x00, 0x05};
    EXPECT_EQ(lobby::ReadFrameHeader(keepAliveWithBody, h), FrameFault::kTooLong);
    const uint8_t bigHello[5] = {0x00, 0x10, 0x00, 0x00, 0x01};
    EXPECT_EQ(lobby::ReadFrameHeader(bigHello, h), FrameFault::kTooLong);
    for (const uint8_t type : {0, 11, 0x47, 0xFF}) {
        const uint8_t unknown[5] = {0, 0, 0, 0, type};
        EXPECT_EQ(lobby::ReadFrameHeader(unknown, h), FrameFault::kType) << int(type);
    }

    const uint8_t body[3] = {7, 8, 9};
    EXPECT_EQ(lobby::EncodeFrame(FrameType::kPacket, body, 3),
              (std::vector<uint8_t>{3, 0, 0, 0, 4, 7, 8, 9}));
    EXPECT_EQ(lobby::EncodeFrame(FrameType::kKeepAlive), (std::vector<uint8_t>{0, 0, 0, 0, 5}));
    EXPECT_EQ(lobby::EncodeFrame(FrameType::kBye, "no"), (std::vector<uint8_t>{2, 0, 0, 0, 6, 'n', 'o'}));
}

TEST(RemoteFrame, HelloCarriesMagicVersionRoleAndNameButNoCode) {
    lobby::Hello hello;
    hello.observer = true;
    hello.name = "Eve";
    const std::vector<uint8_t> expected = {10, 0, 0, 0, 1, 'B', 'R', 'L', 'V', 2, 1, 3, 'E', 'v', 'e'};
    ASSERT_EQ(lobby::EncodeHello(hello), expected);

    const std::vector<uint8_t> payload(expected.begin() + 5, expected.end());
    lobby::Hello read;
    ASSERT_TRUE(lobby::DecodeHello(payload, read));
    EXPECT_TRUE(read.observer);
    EXPECT_EQ(read.name, "Eve");

    auto broken = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> p = payload;
        p[at] = value;
        return p;
    };
    EXPECT_FALSE(lobby::DecodeHello(broken(0, 'X'), read));  // magic
    EXPECT_FALSE(lobby::DecodeHello(broken(4, 1), read));    // version
    EXPECT_FALSE(lobby::DecodeHello(broken(5, 2), read));    // role
    EXPECT_FALSE(lobby::DecodeHello(broken(6, 200), read));  // name longer than the payload
    EXPECT_FALSE(lobby::DecodeHello(broken(6, 2), read));    // a byte left over
    EXPECT_FALSE(lobby::DecodeHello(std::vector<uint8_t>(payload.begin(), payload.begin() + 6), read));
    EXPECT_FALSE(lobby::DecodeHello({}, read));
    EXPECT_EQ(read.name, "Eve");  // untouched by the failures

    EXPECT_EQ(lobby::FrameText({'o', 'k', 0, '\n', 0xC3}), "ok???");
}

TEST(JoinGuard, CodesCompareWholeAndWrongTriesMakeTheAddressWait) {
    EXPECT_TRUE(lobby::CodesMatch("K7QXM2PDAB", "K7QXM2PDAB"));
    EXPECT_FALSE(lobby::CodesMatch("K7QXM2PDAC", "K7QXM2PDAB"));
    EXPECT_FALSE(lobby::CodesMatch("K7QXM2PDA", "K7QXM2PDAB"));
    EXPECT_FALSE(lobby::CodesMatch("K7QXM2PDABB", "K7QXM2PDAB"));
    EXPECT_FALSE(lobby::CodesMatch("", "K7QXM2PDAB"));

    std::set<std::string> codes;
    for (int i = 0; i < 50; ++i) {
        const std::string code = lobby::MakeJoinCode();
        EXPECT_EQ(code.size(), lobby::kJoinCodeLength);
        EXPECT_EQ(code.find_first_of("IO01abc"), std::string::npos) << code;
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 50u);

    lobby::JoinGuard guard;
    for (int i = 0; i < lobby::kWrongCodesAllowed; ++i) {
        EXPECT_TRUE(guard.MayTry("10.0.0.9", 1000));
        guard.NoteWrongCode("10.0.0.9", 1000);
    }
    EXPECT_FALSE(guard.MayTry("10.0.0.9", 1000));
    EXPECT_FALSE(guard.MayTry("10.0.0.9", 1000 + lobby::kWrongCodeWaitMs - 1));
    EXPECT_TRUE(guard.MayTry("10.0.0.8", 1000));  // others are not held up
    EXPECT_TRUE(guard.MayTry("10.0.0.9", 1000 + lobby::kWrongCodeWaitMs));
    guard.NoteWrongCode("10.0.0.9", 40000);  // a fresh set of tries after the wait
    EXPECT_TRUE(guard.MayTry("10.0.0.9", 40000));

    guard.NoteWrongCode("10.0.0.7", 0);
    guard.NoteWrongCode("10.0.0.7", 0);
    guard.NoteRightCode("10.0.0.7");
    guard.NoteWrongCode("10.0.0.7", 0);
    guard.NoteWrongCode("10.0.0.7", 0);
    EXPECT_TRUE(guard.MayTry("10.0.0.7", 0));  // the right code cleared the earlier tries

    for (int i = 0; i < 10000; ++i) {  // many guessing addresses: remembered within a bound
        guard.NoteWrongCode("10.1." + std::to_string(i), 0);
    }
    EXPECT_TRUE(guard.MayTry("10.1.9999", 0));
}

lobby::RemoteMatch SampleMatch() {
    lobby::RemoteMatch remote;
    remote.match.course = 2;
    remote.match.firstHole = 3;
    remote.match.lastHole = 4;
    remote.match.gameMode = 2;
    remote.match.stake = 5;
    remote.match.teamPlay = false;
    remote.match.giveOption = true;
    remote.match.language = "ENG";
    remote.match.gameName = "Friday";
    remote.players = {"Ann", "Bob", "Cy"};
    remote.seat.name = "Bob";
    remote.seat.slot = 1;
    return remote;
}

TEST(RemoteSettings, RoundTripAndRefuseWhatCannotBeWritten) {
    const lobby::RemoteMatch sample = SampleMatch();
    lobby::RemoteMatch read;
    std::string error;
    ASSERT_TRUE(lobby::DecodeRemoteMatch(lobby::EncodeRemoteMatch(sample), read, error)) << error;
    EXPECT_EQ(read.match.course, 2);
    EXPECT_EQ(read.match.lastHole, 4);
    EXPECT_EQ(read.match.gameMode, 2);
    EXPECT_TRUE(read.match.giveOption);
    EXPECT_EQ(read.match.gameName, "Friday");
    EXPECT_EQ(read.players, sample.players);
    EXPECT_EQ(read.seat.name, "Bob");
    EXPECT_EQ(read.seat.slot, 1);
    EXPECT_FALSE(read.seat.observer);

    auto refused = [&](const std::string& from, const std::string& to) {
        std::string text = lobby::EncodeRemoteMatch(sample);
        const size_t at = text.find(from);
        if (at == std::string::npos) {
            ADD_FAILURE() << from;
            return false;
        }
        text.replace(at, from.size(), to);
        lobby::RemoteMatch out;
        std::string why;
        return !lobby::DecodeRemoteMatch(text, out, why) && !why.empty();
    };
    EXPECT_TRUE(refused(R"("course":2)", R"("course":100)"));
    EXPECT_TRUE(refused(R"("course":2)", R"("course":"2")"));
    EXPECT_TRUE(refused(R"("gameMode":2)", R"("gameMode":-1)"));
    EXPECT_TRUE(refused(R"("gameName":"Friday")", R"("gameName":"Fri\"day")"));
    EXPECT_TRUE(refused(R"("gameName":"Friday")", R"("gameName":"Fri\nday")"));
    EXPECT_TRUE(refused(R"("giveOption":true)", R"("giveOption":1)"));
    EXPECT_TRUE(refused(R"("Ann","Bob","Cy")", R"("Ann","Bob","Cy","D","E")"));
    EXPECT_TRUE(refused(R"("Ann","Bob","Cy")", R"("Ann","Bob","A name far too long")"));
    EXPECT_TRUE(refused(R"("slot":1)", R"("slot":2)"));  // Cy's slot, not Bob's
    EXPECT_TRUE(refused(R"("slot":1)", R"("slot":9)"));
    EXPECT_TRUE(refused(R"("players")", R"("playerz")"));
    lobby::RemoteMatch out;
    EXPECT_FALSE(lobby::DecodeRemoteMatch("{not json", out, error));
    EXPECT_FALSE(lobby::DecodeRemoteMatch("[1,2]", out, error));
}

TEST(JoinAddress, HostPortAndBracketedIpv6) {
    std::string host;
    uint16_t port = 0;
    ASSERT_TRUE(lobby::SplitHostPort("192.168.1.20:5000", host, port));
    EXPECT_EQ(host, "192.168.1.20");
    EXPECT_EQ(port, 5000);
    ASSERT_TRUE(lobby::SplitHostPort("golf.example.org", host, port));
    EXPECT_EQ(host, "golf.example.org");
    EXPECT_EQ(port, lobby::kDefaultPort);
    ASSERT_TRUE(lobby::SplitHostPort("[::1]:47000", host, port));
    EXPECT_EQ(host, "::1");
    EXPECT_EQ(port, 47000);
    ASSERT_TRUE(lobby::SplitHostPort("[fe80::2]", host, port));
    EXPECT_EQ(host, "fe80::2");
    EXPECT_EQ(port, lobby::kDefaultPort);
    ASSERT_TRUE(lobby::SplitHostPort("fe80::2", host, port));
    EXPECT_EQ(host, "fe80::2");
    for (const char* bad :
         {"", ":5000", "host:", "host:0", "host:65536", "host:50x", "[::1", "[::1]5000", "[]:5000"}) {
        EXPECT_FALSE(lobby::SplitHostPort(bad, host, port)) << bad;
    }
}

}  // namespace

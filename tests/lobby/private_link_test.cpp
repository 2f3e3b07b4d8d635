// The link between Ravelins is private: the key exchange gives both sides one key only when they
// hold the same code, a recording shows none of the match, and a frame spoiled on the way (a bit
// flipped, sent twice, left out) ends the link with a message that says so.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lobby/link_crypto.h"
#include "tests/lobby/remote_match_rig.h"
#include "tests/lobby/tamper_proxy.h"

namespace {

using fixtures::Count;
using fixtures::kCode;
using fixtures::Lines;
using nettest::TamperProxy;

TEST(LinkCrypto, OnlyTheSameCodeGivesTheSameKeysAndSealedFramesOpenOnceInOrder) {
    ASSERT_TRUE(lobby::LinkCryptoReady());
    for (const bool sameCode : {true, false}) {
        lobby::PakeState joiner;
        lobby::PakeState host;
        const std::vector<uint8_t> start = lobby::PakeStart("K7QXM2PDAB", joiner);
        ASSERT_EQ(start.size(), lobby::kPakeStartSize);
        std::vector<uint8_t> reply;
        ASSERT_TRUE(lobby::PakeReply(sameCode ? "K7QXM2PDAB" : "K7QXM2PDAC", start, host, reply));
        std::vector<uint8_t> confirm;
        EXPECT_EQ(lobby::PakeFinish(joiner, reply, confirm), sameCode);
        if (!sameCode) {
            EXPECT_FALSE(lobby::PakeConfirmed(host, std::vector<uint8_t>(lobby::kPakeConfirmSize, 0)));
            continue;
        }
        EXPECT_TRUE(lobby::PakeConfirmed(host, confirm));
        EXPECT_EQ(joiner.keys.hostToJoiner, host.keys.hostToJoiner);
        EXPECT_NE(joiner.keys.hostToJoiner, joiner.keys.joinerToHost);

        lobby::FrameSeal out(joiner.keys.joinerToHost);
        lobby::FrameSeal in(host.keys.joinerToHost);
        const std::string text = "bye from Bob";
        const auto first = out.Seal(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        const auto second = out.Seal(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        EXPECT_NE(first, second);  // the same text sealed twice looks different
        std::vector<uint8_t> plain;
        EXPECT_FALSE(in.Open(second.data(), second.size(), plain));  // out of order
        ASSERT_TRUE(in.Open(first.data(), first.size(), plain));
        EXPECT_EQ(std::string(plain.begin(), plain.end()), text);
        EXPECT_FALSE(in.Open(first.data(), first.size(), plain));  // replayed
        auto flipped = second;
        flipped[3] ^= 1;
        EXPECT_FALSE(in.Open(flipped.data(), flipped.size(), plain));
        EXPECT_TRUE(in.Open(second.data(), second.size(), plain));
    }
    // Shares that are not points of the group, or the identity, are refused.
    lobby::PakeState host;
    std::vector<uint8_t> start = lobby::PakeStart("K7QXM2PDAB", host);
    std::fill(start.begin() + 5 + lobby::kPakeSessionIdSize, start.end(), 0);
    std::vector<uint8_t> reply;
    EXPECT_FALSE(lobby::PakeReply("K7QXM2PDAB", start, host, reply));
    std::fill(start.begin() + 5 + lobby::kPakeSessionIdSize, start.end(), 0xFF);
    EXPECT_FALSE(lobby::PakeReply("K7QXM2PDAB", start, host, reply));
    EXPECT_FALSE(lobby::PakeReply("K7QXM2PDAB", std::vector<uint8_t>(10, 0), host, reply));
}

class PrivateLink : public fixtures::RemoteMatchRig {
  protected:
    // Bob joins Annabelle's match through the proxy; the match runs long enough to spoil a frame.
    int PlayThrough(TamperProxy::Spoil spoil, TamperProxy*& proxyOut) {
        const uint16_t port =
            Host("Annabelle,Bob", "Bob", "RAVELIN_PROBE_ROLES=Annabelle=slow RAVELIN_PROBE_WAIT_MS=3000");
        if (port == 0) {
            return -1;
        }
        proxy_ = std::make_unique<TamperProxy>(port, spoil, 2);
        proxyOut = proxy_.get();
        auto bob = Join("Bob", "127.0.0.1:" + std::to_string(proxy_->Port()));
        const int status = bob->Wait();
        EXPECT_EQ(host_->Wait(), 0);
        return status;
    }
    // Both ends say why the link ended: the host, which found the frame, and Bob, told in its bye.
    void ExpectEndedBySpoiling(TamperProxy::Spoil spoil) {
        TamperProxy* proxy = nullptr;
        EXPECT_NE(PlayThrough(spoil, proxy), 0);
        ASSERT_NE(proxy, nullptr);
        EXPECT_TRUE(proxy->Spoiled());
        EXPECT_EQ(Count(Lines(Err("host")), "Bob's link ended: a frame failed its check"), 1u);
        EXPECT_EQ(Count(Lines(Err("Bob")), "the peer: a frame failed its check"), 1u);
        EXPECT_EQ(Count(Lines(HostClientLog(0)), "|Bob|91|"), 1u);  // Annabelle plays on without him
    }
    std::unique_ptr<TamperProxy> proxy_;
};

TEST_F(PrivateLink, ARecordingOfAWholeMatchShowsNoneOfItsContent) {
    TamperProxy* proxy = nullptr;
    EXPECT_EQ(PlayThrough(TamperProxy::Spoil::kNothing, proxy), 0);
    ASSERT_NE(proxy, nullptr);
    const std::string transcript = proxy->Transcript();
    EXPECT_GT(transcript.size(), 2000u);
    for (const char* secret : {kCode, "Annabelle", "bye from", "GameEnd", "Club_01", "Ravelin match"}) {
        EXPECT_EQ(transcript.find(secret), std::string::npos) << secret;
    }
    // The match itself went through: Bob's client saw Annabelle's end.
    EXPECT_EQ(Count(Lines(JoinerLog("Bob")), "Annabelle||94|"), 1u);
}

TEST_F(PrivateLink, AFlippedBitEndsTheLinkWithItsMessage) {
    ExpectEndedBySpoiling(TamperProxy::Spoil::kFlipBit);
}

TEST_F(PrivateLink, AReplayedFrameEndsTheLinkWithItsMessage) {
    ExpectEndedBySpoiling(TamperProxy::Spoil::kReplay);
}

TEST_F(PrivateLink, ADroppedFrameEndsTheLinkWithItsMessage) {
    ExpectEndedBySpoiling(TamperProxy::Spoil::kDrop);
}

TEST_F(PrivateLink, AWrongCodeIsRefusedAndCostsOneGuess) {
    const uint16_t port = Host("Annabelle,Bob", "Bob");
    ASSERT_NE(port, 0);
    auto wrong = std::make_unique<nettest::Background>(
        Common("Bob") + " --join 127.0.0.1:" + std::to_string(port) +
        " --name Bob --code WRONGCODE1 < /dev/null > " + Out("Bob") + " 2> " + Err("Bob"));
    EXPECT_EQ(wrong->Wait(), 5);
    EXPECT_EQ(Count(Lines(Err("Bob")), "the host does not take this join code"), 1u);
    ASSERT_TRUE(nettest::WaitForLine(Out("host"), "a wrong join code"));
    EXPECT_EQ(Count(Lines(Out("host")), "a wrong join code"), 1u);  // one guess, counted once
    auto bob = Join("Bob", "127.0.0.1:" + std::to_string(port));    // two more are allowed
    EXPECT_EQ(bob->Wait(), 0);
    EXPECT_EQ(host_->Wait(), 0);
}

}  // namespace

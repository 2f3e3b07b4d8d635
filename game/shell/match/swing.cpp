#include "game/shell/match/swing.h"

#include <cmath>

#include "game/physics/shot_pipeline.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"

namespace shell {

namespace {

constexpr float kImpactSteps = 16.0f;
constexpr int kMaxSwingDelayMs = 60;

// Whether the gauge runs yet (the swing button's delay is over).
bool GaugeRunning(const Client& client) {
    return static_cast<int32_t>(client.clock.NowMs() - client.swing.gauge.gaugeStart) >= 0;
}

void LaunchShot(Client& client) {
    rules::MatchState& m = client.match;
    physics::SwingConditions conditions;
    conditions.spin = m.spin;
    conditions.wind = m.wind;
    conditions.gameLevel = m.options.gameLevel;
    const physics::GaugeReadings readings =
        physics::LaunchFromGauge(m.shot, client.swing.gauge, conditions, client.rand);
    SendShot(client.lobby, m.shot, ImpactErrorByte(readings.impactError));
    SetGameState(client, GameState::Waiting);
}

}  // namespace

uint8_t ImpactErrorByte(float impactError) {
    if (!(impactError > 0.0f)) {
        return 0;
    }
    const float steps = std::ceil(impactError * kImpactSteps);
    return steps >= 255.0f ? uint8_t{255} : static_cast<uint8_t>(steps);
}

float ImpactErrorFromByte(uint8_t byte) {
    return static_cast<float>(byte) / kImpactSteps;
}

void StartSwing(Client& client, bool pressed) {
    rules::MatchState& m = client.match;
    uint32_t start = client.clock.NowMs();
    if (pressed) {
        client.rand.Seed(start);
        start += static_cast<uint32_t>(client.rand.Next() % kMaxSwingDelayMs);
        m.swingStarted = true;
    }
    SetGameState(client, GameState::Swing);
    const int rate = physics::GaugeRate(m.shot, m.options.gameLevel, m.spin);
    physics::StartGauge(client.swing.gauge, start, rate);
    client.swing.swingStartMs = start;
}

void RunSwing(Client& client) {
    if (GaugeRunning(client) && physics::GaugeFrame(client.swing.gauge, client.clock.NowMs())) {
        LaunchShot(client);
    }
}

void SwingClick(Client& client) {
    SwingClickAt(client, client.clock.NowMs());
}

void SwingClickAt(Client& client, uint32_t clickMs) {
    if (GaugeRunning(client) && physics::GaugeClick(client.swing.gauge, clickMs)) {
        LaunchShot(client);
    }
}

}  // namespace shell

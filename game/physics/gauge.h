#pragma once
// The two-click swing gauge: how fast the marker runs for this shot, when it turns by itself, and
// what the two click times mean as power and impact errors.

#include <cstdint>

#include "game/physics/shot_input.h"

namespace physics {

// The player's spin buttons, each 0-4 with 2 meaning none.
struct SpinChoice {
    uint8_t backspin = 2;
    uint8_t sidespin = 2;
};

inline constexpr float kGaugeTopMark = 105.0f;
inline constexpr float kGaugeImpactMark = 15.0f;
inline constexpr int kGaugeFullScale = 120;

// The marker speed in gauge units per second for this shot. Also switches the bite choice off for
// clubs that cannot bite (below I6 and the putter), which is why it takes the record.
int GaugeRate(ShotInput& shot, int gameLevel, SpinChoice spin);

// The rising marker has passed the top of the scale: the rise stops without a click.
bool GaugeTopReached(uint32_t gaugeStartMs, uint32_t nowMs, int gaugeRate);
// The falling marker has passed 0: the shot goes off without a second click.
bool GaugeBottomReached(uint32_t gaugeStartMs, uint32_t gaugeTopMs, uint32_t nowMs);

// The gauge of one swing, in clock milliseconds.
struct GaugeState {
    uint32_t gaugeStart = 0;  // the swing began, marker at 0
    uint32_t gaugeTop = 0;    // the marker stopped rising: first click or the top of the scale
    uint32_t gaugeEnd = 0;    // the second click, or the marker passing 0
    int gaugeRate = 0;        // units per second
    bool gaugeRising = false;
    bool launched = false;
};

void StartGauge(GaugeState& gauge, uint32_t nowMs, int gaugeRate);
// Every frame of the swing. Returns true once, on the frame at which the falling marker passes 0
// and the shot goes off by itself.
bool GaugeFrame(GaugeState& gauge, uint32_t nowMs);
// A click during the swing. Returns true when it was the second click, which launches the shot.
bool GaugeClick(GaugeState& gauge, uint32_t nowMs);

struct GaugeReadings {
    float p1 = 0.0f;            // marker at the first click
    float p2 = 0.0f;            // marker at the second click
    float powerError = 0.0f;    // E1, distance of p1 from the top mark
    float impactSigned = 0.0f;  // d2, p2 minus the impact mark, at most 15
    float impactError = 0.0f;   // E2, distance of p2 from the impact mark; 15 when d2 was capped
};

GaugeReadings ReadGauge(uint32_t gaugeStartMs, uint32_t gaugeTopMs, uint32_t gaugeEndMs, int gaugeRate);
inline GaugeReadings ReadGauge(const GaugeState& g) {
    return ReadGauge(g.gaugeStart, g.gaugeTop, g.gaugeEnd, g.gaugeRate);
}

}  // namespace physics

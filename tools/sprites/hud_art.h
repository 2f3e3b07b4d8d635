#pragma once
// The HUD's drawn series: the shot button with its 121 gauge frames, the wind sheet, the level
// badges, the club pop-up with its icons and opening frames, the map and view markers, the lie
// sheet, the spin step displays, the beginner arrows and the impact animations.

#include <string>

namespace sprites {

// Geometry of the gauge arc inside the shot button picture (shared with the game's hint mark).
inline constexpr double kGaugeCentreX = 70.5;
inline constexpr double kGaugeCentreY = 86.0;
inline constexpr double kGaugeRadius = 62.0;
inline constexpr int kShotWidth = 146;
inline constexpr int kShotHeight = 119;

// What the HUD's series share: the circle constant and the two colours of the button faces.
inline constexpr double kHudPi = 3.14159265358979;
inline constexpr const char* kHudNavy = "#131c46";
inline constexpr const char* kHudGold = "#efb45c";

bool MakeGauge(const std::string& outDir, std::string& error);
bool MakeWind(const std::string& outDir, std::string& error);
bool MakeLevelBadges(const std::string& outDir, std::string& error);
bool MakeClubArt(const std::string& outDir, std::string& error);
bool MakeMarkers(const std::string& outDir, std::string& error);
bool MakeSpinSteps(const std::string& outDir, std::string& error);
bool MakeEffects(const std::string& outDir, std::string& error);

}  // namespace sprites

#pragma once
// Key codes handed to the game: the Windows virtual-key numbers, so that game code can speak of
// keys the way its rules are written. Letters and digits are their upper-case ASCII codes.

namespace platform {

inline constexpr int kKeyBack = 0x08;
inline constexpr int kKeyTab = 0x09;
inline constexpr int kKeyReturn = 0x0D;
inline constexpr int kKeyShift = 0x10;
inline constexpr int kKeyControl = 0x11;
inline constexpr int kKeyMenu = 0x12;  // Alt
inline constexpr int kKeyEscape = 0x1B;
inline constexpr int kKeySpace = 0x20;
inline constexpr int kKeyEnd = 0x23;
inline constexpr int kKeyHome = 0x24;
inline constexpr int kKeyLeft = 0x25;
inline constexpr int kKeyUp = 0x26;
inline constexpr int kKeyRight = 0x27;
inline constexpr int kKeyDown = 0x28;
inline constexpr int kKeyDelete = 0x2E;
inline constexpr int kKeyLeftWindows = 0x5B;
inline constexpr int kKeyRightWindows = 0x5C;
inline constexpr int kKeyApps = 0x5D;  // the Application (context menu) key
inline constexpr int kKeyF1 = 0x70;
inline constexpr int kKeyF8 = 0x77;
inline constexpr int kKeyF11 = 0x7A;
inline constexpr int kKeyF12 = 0x7B;

}  // namespace platform

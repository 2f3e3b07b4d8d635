#pragma once
// What the interface language (the LANGUAGE of "Option.ini") decides beyond the folder of the
// localised files. A language matches in upper or lower case only: "kor" is Korean, "Kor" is not.

namespace shell {

// True when language is the upper-case name or its all-lower-case form.
bool IsLanguage(const char* language, const char* upperName);

// Korean and Japanese texts are double-byte: a byte of 0x80 or more starts a two-byte character.
bool UsesDoubleByteText(const char* language);

// The face of the HUD's texts for the language, or nullptr to keep the face there is.
const char* HudFaceForLanguage(const char* language);

}  // namespace shell

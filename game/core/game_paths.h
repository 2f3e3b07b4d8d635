#pragma once
// Names of the game's data files, relative to the game directory. Every builder returns its own
// fixed-size path record, cut at the record's size.

namespace core {

inline constexpr int kPathCapacity = 260;

struct GamePath {
    char text[kPathCapacity] = {};
};

// The data folders; a data path is a folder prefix followed by the file name.
enum Folder {
    kFolderGolfer = 0,
    kFolderImage = 1,
    kFolderInfo = 2,
    kFolderMap = 3,
    kFolderNature = 4,
    kFolderSky = 5,
    kFolderSound = 6,
    kFolderTexture = 7,
    kFolderCount = 8,
};

extern const char* const kFolderPrefixes[kFolderCount];

// Folder prefix + file name ("Sound/" + "Back.wav"); a folder outside the table gives the name alone.
GamePath DataPath(int folder, const char* file);

// A localised file: base folder, language, file ("Info", "KOR", "Start.ini" -> Info/KOR/Start.ini).
GamePath LanguagePath(const char* base, const char* language, const char* file);

// A file of one hole of one course: Map/Club_06/Hole_03/Hole.ini.
GamePath HoleFilePath(int course, int hole, const char* file);

// The picture of a hole file: the file's four-character extension becomes ".fni".
GamePath HolePicturePath(int course, int hole, const char* file);

// A texture picture: Texture/ + the file name with its extension made ".fni".
GamePath TexturePicturePath(const char* file);

// Scenery picture n: Nature/T007.fni for n = 7.
GamePath SceneryPicturePath(int n);

}  // namespace core

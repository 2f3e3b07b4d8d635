#include "game/core/game_paths.h"

#include <cstdio>
#include <cstring>

namespace core {

const char* const kFolderPrefixes[kFolderCount] = {"Golfer/", "Image/", "Info/",  "Map/",
                                                   "Nature/", "Sky/",   "Sound/", "Texture/"};

namespace {

// The file name with its last four characters (the extension with its dot) replaced by ".fni".
// A name shorter than that is replaced whole.
GamePath PictureName(const char* file) {
    GamePath name;
    size_t length = std::strlen(file);
    size_t keep = length >= 4 ? length - 4 : 0;
    std::snprintf(name.text, sizeof(name.text), "%.*s.fni", static_cast<int>(keep), file);
    return name;
}

}  // namespace

GamePath DataPath(int folder, const char* file) {
    GamePath path;
    const char* prefix = (folder >= 0 && folder < kFolderCount) ? kFolderPrefixes[folder] : "";
    std::snprintf(path.text, sizeof(path.text), "%s%s", prefix, file);
    return path;
}

GamePath LanguagePath(const char* base, const char* language, const char* file) {
    GamePath path;
    std::snprintf(path.text, sizeof(path.text), "%s/%s/%s", base, language, file);
    return path;
}

GamePath HoleFilePath(int course, int hole, const char* file) {
    GamePath path;
    std::snprintf(path.text, sizeof(path.text), "%sClub_%02d/Hole_%02d/%s", kFolderPrefixes[kFolderMap],
                  course, hole, file);
    return path;
}

GamePath HolePicturePath(int course, int hole, const char* file) {
    return HoleFilePath(course, hole, PictureName(file).text);
}

GamePath TexturePicturePath(const char* file) {
    return DataPath(kFolderTexture, PictureName(file).text);
}

GamePath SceneryPicturePath(int n) {
    GamePath path;
    std::snprintf(path.text, sizeof(path.text), "%sT%03d.fni", kFolderPrefixes[kFolderNature], n);
    return path;
}

}  // namespace core

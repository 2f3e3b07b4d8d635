#pragma once
// Checks a game directory against the list of files the game asks for, and every model in it
// against the textures its materials name.

#include <string>
#include <vector>

namespace tools {

struct DataSetReport {
    std::vector<std::string> missing;  // required files (or textures of required models) not there
    std::vector<std::string> pending;  // files under "[later]" not there yet
    std::vector<std::string> broken;   // files that are there but unusable, with the reason
};

// Expands one name of the list: "Hole_{01..09}/Hole.ini" gives nine names, the numbers written
// with the width of the first one. Names without a range stand for themselves.
std::vector<std::string> ExpandListedName(const std::string& name);

// The file a material's texture name resolves to, relative to the game directory: "T012..." is
// Nature/T012.fni, "B..." the name with ".fni" in the model's own folder, anything else the name
// with ".fni" in Texture/. Empty for an untextured material.
std::string TexturePathOf(const std::string& textureName, const std::string& modelFolder);

DataSetReport CheckDataSet(const std::string& gameDirectory, const std::string& listText);

}  // namespace tools

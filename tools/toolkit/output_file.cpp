#include "tools/toolkit/output_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tools {

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path);
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
        if (ec) {
            error = path + ": cannot create its folder: " + ec.message();
            return false;
        }
    }
    const fs::path partial = target.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        }
        if (!out) {
            fs::remove(partial, ec);
            error = path + ": cannot write the file";
            return false;
        }
    }
    fs::rename(partial, target, ec);
    if (ec) {
        fs::remove(partial, ec);
        error = path + ": cannot move the finished file into place";
        return false;
    }
    return true;
}

bool WriteTextFileAtomically(const std::string& path, std::string_view text, std::string& error) {
    return WriteFileAtomically(path, std::vector<uint8_t>(text.begin(), text.end()), error);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open the file";
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = path + ": cannot read the file";
        return false;
    }
    return true;
}

bool ReadTextFile(const std::string& path, std::string& text, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error)) {
        return false;
    }
    text.assign(bytes.begin(), bytes.end());
    return true;
}

}  // namespace tools

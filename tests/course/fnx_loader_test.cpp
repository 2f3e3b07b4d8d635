#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "game/course/fnx_loader.h"
#include "tools/toolkit/fnx_writer.h"

namespace course {
namespace {

// Builds model files byte by byte, independently of the writer under test.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& U16(uint16_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Bytes& U32(uint32_t v) {
        for (int s = 0; s < 32; s += 8) {
            b.push_back(static_cast<uint8_t>(v >> s));
        }
        return *this;
    }
    Bytes& F32(float f) { return U32(std::bit_cast<uint32_t>(f)); }
    Bytes& Text(const char* s, size_t field) {
        for (size_t i = 0; i < field; ++i) {
            b.push_back(i < std::strlen(s) ? static_cast<uint8_t>(s[i]) : 0);
        }
        return *this;
    }
    Bytes& Fill(uint8_t v, size_t n) {
        b.insert(b.end(), n, v);
        return *this;
    }
};

void Header(Bytes& f, uint16_t materials, uint16_t groups, uint16_t lights) {
    f.Text("FNX3DF", 6).U16(0xBEEF).U16(materials).U16(groups).U16(lights);
}

void Material(Bytes& f, const char* name, const char* texture) {
    f.Text(name, 19);
    for (int i = 0; i < 12; ++i) {
        f.F32(0.1f * static_cast<float>(i + 1));  // ambient, diffuse, specular
    }
    f.F32(20.0f).Fill(0xAA, 8).Text(texture, 17);
}

void GroupHeader(Bytes& f, const char* name, uint16_t vertices, uint16_t indices, uint16_t material) {
    f.U16(0x1234).Text(name, 17).U16(vertices).U16(indices).U16(material);
}

void Vertex(Bytes& f, float x, float y, float z) {
    f.F32(x).F32(y).F32(z).F32(0).F32(1).F32(0).F32(x * 0.5f).F32(z * 0.25f);
}

void Light(Bytes& f) {
    f.Text("sun", 19).U32(3);
    for (float v : {1.0f, 2.0f, 3.0f, 0.0f, -1.0f, 0.5f, 0.9f, 0.8f, 0.7f, 1.0f, 0.2f, 0.4f, 1.5f}) {
        f.F32(v);
    }
}

// One material, one group of three vertices and three indices, no lights: 237 bytes.
Bytes Triangle(uint16_t materialIndex = 0, uint16_t lastIndex = 2) {
    Bytes f;
    Header(f, 1, 1, 0);
    Material(f, "grass", "Bgreen.bmp");
    GroupHeader(f, "GRE01", 3, 3, materialIndex);
    Vertex(f, 0, 0, 0);
    Vertex(f, 1, 0, 0);
    Vertex(f, 0, 0, 1);
    f.U16(0).U16(1).U16(lastIndex);
    return f;
}

bool Parses(const Bytes& f) {
    core::FnxModel m;
    return ParseFnxModel(f.b.data(), f.b.size(), m);
}

std::string TempPath(const char* name) {
    // Tests run as parallel processes: each writes under its own name.
    return (std::filesystem::path(testing::TempDir()) / (std::to_string(::getpid()) + "-" + name)).string();
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(FnxLoader, ReadsEveryFieldOfTheSmallestTexturedModel) {
    const Bytes f = Triangle();
    ASSERT_EQ(f.b.size(), 237u);
    const std::string path = TempPath("triangle.fnx");
    WriteFile(path, f.b);

    core::FnxModel* m = LoadFnxModel(path);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->materialCount, 1);
    EXPECT_EQ(m->groupCount, 1);
    EXPECT_EQ(m->lightCount, 0);
    EXPECT_EQ(m->reserved, 0xBEEF);
    ASSERT_EQ(m->materials.size(), 1u);
    EXPECT_STREQ(m->materials[0].name, "grass");
    EXPECT_FLOAT_EQ(m->materials[0].ambient.r, 0.1f);
    EXPECT_FLOAT_EQ(m->materials[0].diffuse.r, 0.5f);
    EXPECT_FLOAT_EQ(m->materials[0].specular.a, 1.2f);
    EXPECT_FLOAT_EQ(m->materials[0].power, 20.0f);
    EXPECT_STREQ(m->materials[0].textureName, "Bgreen.bmp");
    ASSERT_EQ(m->groups.size(), 1u);
    const core::FnxGroup& g = m->groups[0];
    EXPECT_STREQ(g.name, "GRE01");
    EXPECT_EQ(g.reserved, 0x1234);
    EXPECT_EQ(g.materialIndex, 0);
    ASSERT_EQ(g.vertices.size(), 3u);
    EXPECT_FLOAT_EQ(g.vertices[2].z, 1.0f);
    EXPECT_FLOAT_EQ(g.vertices[2].ny, 1.0f);
    EXPECT_FLOAT_EQ(g.vertices[1].u, 0.5f);
    EXPECT_FLOAT_EQ(g.vertices[2].v, 0.25f);
    EXPECT_EQ(g.indices, (std::vector<uint16_t>{0, 1, 2}));
    EXPECT_TRUE(m->lights.empty());
    FreeFnxModel(m);
}

TEST(FnxLoader, NameFieldsThatFillTheirWholeWidthStayTerminated) {
    Bytes f;
    Header(f, 1, 0, 0);
    Material(f, "ABCDEFGHIJKLMNOPQRS", "TUVWXYZ0123456789");
    core::FnxModel m;
    ASSERT_TRUE(ParseFnxModel(f.b.data(), f.b.size(), m));
    EXPECT_STREQ(m.materials[0].name, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_STREQ(m.materials[0].textureName, "TUVWXYZ0123456789");
}

TEST(FnxLoader, ZeroCountsAndNoMaterialGroupsLoad) {
    Bytes empty;
    Header(empty, 0, 0, 0);
    core::FnxModel m;
    ASSERT_TRUE(ParseFnxModel(empty.b.data(), empty.b.size(), m));
    EXPECT_TRUE(m.materials.empty() && m.groups.empty() && m.lights.empty());

    // No materials at all, a group that uses none, an empty group, and a light.
    Bytes f;
    Header(f, 0, 2, 1);
    GroupHeader(f, "BAK", 1, 0, core::kNoMaterial);
    Vertex(f, 5, 6, 7);
    GroupHeader(f, "rst", 0, 0, core::kNoMaterial);
    Light(f);
    ASSERT_TRUE(ParseFnxModel(f.b.data(), f.b.size(), m));
    EXPECT_EQ(m.groups[0].materialIndex, core::kNoMaterial);
    EXPECT_TRUE(m.groups[1].vertices.empty());
    ASSERT_EQ(m.lights.size(), 1u);
    EXPECT_EQ(m.lights[0].type, 3u);
    EXPECT_FLOAT_EQ(m.lights[0].position[2], 3.0f);
    EXPECT_FLOAT_EQ(m.lights[0].direction[1], -1.0f);
    EXPECT_FLOAT_EQ(m.lights[0].color.g, 0.8f);
    EXPECT_FLOAT_EQ(m.lights[0].falloff, 1.5f);
}

TEST(FnxLoader, RefusesWrongMagicMissingFilesAndBadIndices) {
    Bytes f = Triangle();
    f.b[5] = 'f';  // magic compared case-sensitively
    EXPECT_FALSE(Parses(f));
    EXPECT_EQ(LoadFnxModel(TempPath("no-such-model.fnx")), nullptr);

    EXPECT_FALSE(Parses(Triangle(1)));                 // material 1 of a one-material table
    EXPECT_TRUE(Parses(Triangle(core::kNoMaterial)));  // 5000 means no material
    EXPECT_FALSE(Parses(Triangle(4999)));
    EXPECT_FALSE(Parses(Triangle(0, 3)));  // index equal to the vertex count
    EXPECT_FALSE(Parses(Triangle(0, 0xFFFF)));
}

TEST(FnxLoader, RefusesEveryTruncationAndLeavesTheRecordEmpty) {
    Bytes f = Triangle();
    Light(f);
    f.b[12] = 1;  // one light
    ASSERT_TRUE(Parses(f));
    for (size_t len = 0; len < f.b.size(); ++len) {
        core::FnxModel m;
        m.materials.resize(3);
        EXPECT_FALSE(ParseFnxModel(f.b.data(), len, m)) << len;
        EXPECT_TRUE(m.materials.empty() && m.groups.empty() && m.lights.empty());
    }
    // Counts far beyond the data must not make the loader allocate for them.
    Bytes huge;
    Header(huge, 0, 0xFFFF, 0xFFFF);
    EXPECT_FALSE(Parses(huge));
    // Trailing bytes after the last light are tolerated.
    f.Fill(0, 5);
    EXPECT_TRUE(Parses(f));
}

TEST(FnxLoader, RefusedFilesLeaveNoFileOpen) {
    const std::string path = TempPath("truncated.fnx");
    Bytes f = Triangle();
    f.b.resize(200);
    WriteFile(path, f.b);
    auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator{});
    };
    const auto before = openFiles();
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(LoadFnxModel(path), nullptr);
    }
    EXPECT_EQ(openFiles(), before);
    FreeFnxModel(nullptr);
}

TEST(FnxWriter, WritesTheSameBytesTheLoaderRead) {
    Bytes f = Triangle();
    Light(f);
    f.b[12] = 1;
    core::FnxModel m;
    ASSERT_TRUE(ParseFnxModel(f.b.data(), f.b.size(), m));
    std::vector<uint8_t> out;
    ASSERT_TRUE(tools::EncodeFnxModel(m, out));
    EXPECT_EQ(out, f.b);

    const std::string path = TempPath("written.fnx");
    ASSERT_TRUE(tools::WriteFnxModel(m, path));
    core::FnxModel* back = LoadFnxModel(path);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->groups[0].indices, m.groups[0].indices);
    FreeFnxModel(back);
}

TEST(FnxWriter, RefusesModelsTheLoaderWouldRefuse) {
    core::FnxModel m;
    m.groups.resize(1);
    m.groups[0].vertices.resize(2);
    m.groups[0].indices = {0, 1, 2};
    std::vector<uint8_t> out;
    EXPECT_FALSE(tools::EncodeFnxModel(m, out));
    m.groups[0].indices = {0, 1, 1};
    m.groups[0].materialIndex = 0;
    EXPECT_FALSE(tools::EncodeFnxModel(m, out));
    m.groups[0].materialIndex = core::kNoMaterial;
    EXPECT_TRUE(tools::EncodeFnxModel(m, out));
    EXPECT_EQ(out.size(), size_t{14 + 25 + 2 * 32 + 3 * 2});
    EXPECT_FALSE(tools::WriteFnxModel(m, TempPath("no-such-dir/x.fnx")));
}

}  // namespace
}  // namespace course

// The Windows resource script, compiled by the mingw resource compiler and
// read back: the icon group under "ALLEGRO_ICON" and every field of the
// version record.
#include <gtest/gtest.h>

#include <map>

#include "asset_files.h"
#include "res_reader.h"

using namespace res_reader;

namespace {

constexpr int RT_ICON = 3, RT_GROUP_ICON = 14, RT_VERSION = 16;
constexpr int LANGUAGE_EN_CA = 0x1009;

struct CompiledResources : ::testing::Test {
    TempFolder tmp;
    std::vector<Resource> resources;

    void SetUp() override {
        if (std::string(WINDRES).empty()) GTEST_SKIP() << "i686-w64-mingw32-windres not installed";
        std::string out = tmp.path + "/brindlewick.res";
        std::string cmd = std::string("cd '") + SOURCE_DIR + "/resources' && '" + WINDRES +
                          "' --preprocessor=cpp -O res brindlewick.rc '" + out + "'";
        ASSERT_EQ(run_command(cmd), 0) << cmd;
        std::string error;
        ASSERT_TRUE(read_res(read_file(out), resources, error)) << error;
    }

    const Resource *find(int type, const ResId &name) const {
        for (const Resource &r : resources)
            if (r.type.id == type && r.name.id == name.id && r.name.text == name.text) return &r;
        return nullptr;
    }
    std::vector<const Resource *> all_of(int type) const {
        std::vector<const Resource *> v;
        for (const Resource &r : resources)
            if (r.type.id == type) v.push_back(&r);
        return v;
    }
};

const VersionNode *child(const VersionNode &n, const std::string &key) {
    for (const VersionNode &c : n.children)
        if (c.key == key) return &c;
    return nullptr;
}

TEST_F(CompiledResources, IconGroupIsNamedAllegroIconAndHoldsBothSizes) {
    const Resource *group = find(RT_GROUP_ICON, ResId{-1, "ALLEGRO_ICON"});
    ASSERT_NE(group, nullptr);
    const std::vector<uint8_t> &g = group->data;
    ASSERT_GE(g.size(), 6u);
    EXPECT_EQ(le16(g, 0), 0);
    EXPECT_EQ(le16(g, 2), 1);  // icons, not cursors
    int count = le16(g, 4);
    ASSERT_EQ(count, 2);
    ASSERT_EQ(g.size(), 6u + 14u * size_t(count));
    std::vector<int> sizes;
    for (int i = 0; i < count; i++) {
        size_t e = 6 + 14 * size_t(i);
        sizes.push_back(g[e]);
        EXPECT_EQ(g[e], g[e + 1]) << "square icon";
        EXPECT_EQ(le16(g, e + 6), 32) << "32 bits per pixel";
        const Resource *icon = find(RT_ICON, ResId{le16(g, e + 12), ""});
        ASSERT_NE(icon, nullptr) << "icon image " << le16(g, e + 12);
        EXPECT_EQ(icon->data.size(), le32(g, e + 8));
        EXPECT_EQ(le32(icon->data, 0), 40u) << "BITMAPINFOHEADER";
        EXPECT_EQ(le32(icon->data, 4), g[e]);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32}));
}

TEST_F(CompiledResources, VersionRecordHasEveryFieldAsDescribed) {
    std::vector<const Resource *> versions = all_of(RT_VERSION);
    ASSERT_EQ(versions.size(), 1u);
    EXPECT_EQ(versions[0]->language, LANGUAGE_EN_CA);
    VersionNode root;
    std::string error;
    ASSERT_TRUE(read_version_info(versions[0]->data, root, error)) << error;
    EXPECT_EQ(root.key, "VS_VERSION_INFO");

    const std::vector<uint8_t> &fixed = root.value;
    ASSERT_EQ(fixed.size(), 52u);
    EXPECT_EQ(le32(fixed, 0), 0xFEEF04BDu);
    EXPECT_EQ(le32(fixed, 8), 0x00010002u) << "file version 1.2";
    EXPECT_EQ(le32(fixed, 12), 0x00000001u) << "file version .0.1";
    EXPECT_EQ(le32(fixed, 16), 0x00010002u) << "product version 1.2";
    EXPECT_EQ(le32(fixed, 20), 0x00000001u) << "product version .0.1";
    EXPECT_EQ(le32(fixed, 36), 0x1u) << "an application";

    ASSERT_EQ(root.children.size(), 2u);
    const VersionNode *sfi = child(root, "StringFileInfo");
    ASSERT_NE(sfi, nullptr);
    ASSERT_EQ(sfi->children.size(), 1u);
    EXPECT_EQ(sfi->children[0].key, "100904E4") << "language 0x1009, code page 1252";
    std::map<std::string, std::string> strings;
    for (const VersionNode &s : sfi->children[0].children) {
        EXPECT_TRUE(s.is_text) << s.key;
        EXPECT_TRUE(strings.emplace(s.key, s.text).second) << "repeated " << s.key;
    }
    const std::map<std::string, std::string> expected = {
        {"CompanyName", ""},      {"FileDescription", "Brindlewick"},
        {"FileVersion", "1.2"},   {"InternalName", ""},
        {"LegalTrademarks", ""},  {"OriginalFilename", ""},
        {"ProductName", "Brindlewick"}, {"ProductVersion", ""},
    };
    EXPECT_EQ(strings, expected);

    const VersionNode *vfi = child(root, "VarFileInfo");
    ASSERT_NE(vfi, nullptr);
    const VersionNode *translation = vfi ? child(*vfi, "Translation") : nullptr;
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation->value, (std::vector<uint8_t>{0x09, 0x10, 0xE4, 0x04}));
}

// The reader itself must stay inside damaged data.
TEST(ResReader, RejectsTruncatedAndOverlongInput) {
    std::vector<Resource> out;
    std::string error;
    std::vector<uint8_t> header = {0, 0, 0, 0, 32, 0, 0, 0, 0xff, 0xff, 0, 0, 0xff, 0xff, 0, 0};
    header.resize(32, 0);
    EXPECT_TRUE(read_res(header, out, error));
    EXPECT_TRUE(out.empty());
    std::vector<uint8_t> big = header;
    big[0] = 0xff;  // data size far past the end
    EXPECT_FALSE(read_res(big, out, error));
    EXPECT_FALSE(read_res(std::vector<uint8_t>(header.begin(), header.begin() + 5), out, error));

    VersionNode root;
    EXPECT_FALSE(read_version_info({0x40, 0, 0, 0, 0, 0}, root, error)) << "length past end";
    EXPECT_FALSE(read_version_info({0x0a, 0, 0, 0, 0, 0, 'A', 0, 'B', 0}, root, error))
        << "key without NUL";
    EXPECT_FALSE(read_version_info({0x0c, 0, 0x20, 0, 0, 0, 'A', 0, 0, 0, 0, 0}, root, error))
        << "value past node";
}

}  // namespace

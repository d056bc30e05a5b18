// The Windows resource script, compiled by the mingw resource compiler, and
// the Windows build's brindlewick.exe (when WINDOWS_PACKAGE names the
// unpacked zip, as the "windows" tests do), read back: the icon group under
// "ALLEGRO_ICON" and every field of the version record. The program is a
// 32-bit GUI one importing Windows' own DLLs alone, as are ptrender.exe and
// brindlewick.dll.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>

#include "asset_files.h"
#include "res_reader.h"

using namespace res_reader;

namespace {

constexpr int RT_ICON = 3, RT_GROUP_ICON = 14, RT_VERSION = 16;
constexpr int LANGUAGE_EN_CA = 0x1009;

// The unpacked Windows zip's file `name`, or "" when there is none.
std::string windows_file(const char *name) {
    const char *package = std::getenv("WINDOWS_PACKAGE");
    return package && *package ? std::string(package) + "/" + name : "";
}

PeImage read_windows_file(const char *name) {
    PeImage image;
    std::string error;
    EXPECT_TRUE(read_pe(read_file(windows_file(name)), image, error)) << name << ": " << error;
    return image;
}

// The resources of the script compiled, or of the program built.
struct CompiledResources : ::testing::TestWithParam<std::string> {
    TempFolder tmp;
    std::vector<Resource> resources;

    void SetUp() override {
        if (GetParam() == "program") {
            if (windows_file("brindlewick.exe").empty()) GTEST_SKIP() << "no Windows build";
            resources = read_windows_file("brindlewick.exe").resources;
            return;
        }
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

TEST_P(CompiledResources, IconGroupIsNamedAllegroIconAndHoldsBothSizes) {
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

TEST_P(CompiledResources, VersionRecordHasEveryFieldAsDescribed) {
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

INSTANTIATE_TEST_SUITE_P(Windows, CompiledResources, ::testing::Values("script", "program"),
                         [](const ::testing::TestParamInfo<std::string> &p) { return p.param; });

// Windows' own DLLs, which every Windows has.
bool windows_own(std::string dll) {
    std::transform(dll.begin(), dll.end(), dll.begin(), [](unsigned char c) { return std::tolower(c); });
    static const char *const OWN[] = {"kernel32.dll", "user32.dll", "gdi32.dll",   "msvcrt.dll",
                                      "ole32.dll",    "winmm.dll",  "ddraw.dll",   "dsound.dll",
                                      "dinput.dll",   "shell32.dll", "comdlg32.dll", "advapi32.dll"};
    return std::find(std::begin(OWN), std::end(OWN), dll) != std::end(OWN);
}

TEST(WindowsProgram, IsA32BitGuiProgramAndItsToolsNeedWindowsOwnDllsAlone) {
    if (windows_file("brindlewick.exe").empty()) GTEST_SKIP() << "no Windows build";
    const int I386 = 0x14c, PE32 = 0x10b, GUI = 2, CONSOLE = 3, ANY = 0;
    const std::pair<const char *, int> files[] = {
        {"brindlewick.exe", GUI}, {"ptrender.exe", CONSOLE}, {"library/brindlewick.dll", ANY}};
    for (const auto &[name, subsystem] : files) {
        SCOPED_TRACE(name);
        PeImage image = read_windows_file(name);
        EXPECT_EQ(image.machine, I386);
        EXPECT_EQ(image.magic, PE32);
        if (subsystem != ANY) {
            EXPECT_EQ(image.subsystem, subsystem);
        }
        EXPECT_FALSE(image.imports.empty());
        for (const std::string &dll : image.imports) EXPECT_TRUE(windows_own(dll)) << dll;
    }
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

    PeImage image;
    std::vector<uint8_t> pe(0x40, 0);
    pe[0] = 'M', pe[1] = 'Z', pe[0x3c] = 0x38;  // "PE" header past the end
    EXPECT_FALSE(read_pe(pe, image, error));
    pe.resize(0x200);
    pe[0x38] = 'P', pe[0x39] = 'E', pe[0x38 + 6] = 0xff;  // sections past the end
    EXPECT_FALSE(read_pe(pe, image, error));

    VersionNode root;
    EXPECT_FALSE(read_version_info({0x40, 0, 0, 0, 0, 0}, root, error)) << "length past end";
    EXPECT_FALSE(read_version_info({0x0a, 0, 0, 0, 0, 0, 'A', 0, 'B', 0}, root, error))
        << "key without NUL";
    EXPECT_FALSE(read_version_info({0x0c, 0, 0x20, 0, 0, 0, 'A', 0, 0, 0, 0, 0}, root, error))
        << "value past node";
}

}  // namespace

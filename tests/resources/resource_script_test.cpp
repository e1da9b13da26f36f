// Reflasher.rc as windres compiles it, read back from the .res file: the
// dialog templates control by control, the string, manifest, version block,
// and that the bitmaps and icon named are the right pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/shared/ExpectedTexts.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Window, dialog and control styles (their Win32 values; this test builds on the host).
constexpr std::uint32_t WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000,
                        WS_DISABLED = 0x08000000, WS_CAPTION = 0x00C00000, WS_SYSMENU = 0x00080000,
                        WS_VSCROLL = 0x00200000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
                        WS_EX_APPWINDOW = 0x00040000;
constexpr std::uint32_t DS_3DLOOK = 0x4, DS_SETFONT = 0x40, DS_MODALFRAME = 0x80, DS_CENTER = 0x800;
constexpr std::uint32_t BS_PUSHBUTTON = 0, BS_DEFPUSHBUTTON = 1, BS_GROUPBOX = 7;
constexpr std::uint32_t SS_LEFT = 0, SS_ICON = 3, SS_LEFTNOWORDWRAP = 0xC, SS_OWNERDRAW = 0xD,
                        SS_BITMAP = 0xE, SS_NOPREFIX = 0x80, SS_NOTIFY = 0x100,
                        SS_CENTERIMAGE = 0x200, SS_PATHELLIPSIS = 0x8000;
constexpr std::uint32_t CBS_DROPDOWN = 2;
constexpr int RT_BITMAP = 2, RT_ICON = 3, RT_DIALOG = 5, RT_STRING = 6, RT_GROUP_ICON = 14,
              RT_VERSION = 16, RT_MANIFEST = 24;
constexpr std::uint16_t kUsEnglish = 0x0409;

// Reads the little-endian fields of one resource; a read past the end fails the test.
class Reader {
public:
    Reader(const Bytes& data, std::size_t at = 0) : data_(&data), at_(at) {}
    std::uint32_t U8() { return Take(1); }
    std::uint32_t U16() { return Take(2); }
    std::uint32_t U32() { return Take(4); }
    std::int16_t S16() { return static_cast<std::int16_t>(Take(2)); }
    std::u16string Text() {
        std::u16string s;
        while (char16_t c = static_cast<char16_t>(U16())) s += c;
        return s;
    }
    // A name or ordinal: 0xFFFF then a number, else zero-terminated text.
    std::u16string NameOrOrdinal() {
        if (Peek16() == 0xFFFF) {
            U16();
            return u"#" + Digits(U16());
        }
        return Text();
    }
    void Align4() { at_ = (at_ + 3) & ~std::size_t(3); }
    std::size_t at() const { return at_; }
    bool failed() const { return failed_; }

private:
    std::uint32_t Peek16() const {
        return at_ + 2 <= data_->size() ? (*data_)[at_] | (*data_)[at_ + 1] << 8 : 0;
    }
    std::uint32_t Take(int n) {
        if (at_ + n > data_->size()) {
            failed_ = true;
            ADD_FAILURE() << "read past the end at " << at_;
            return 0;
        }
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) v |= std::uint32_t((*data_)[at_ + i]) << (8 * i);
        at_ += n;
        return v;
    }
    static std::u16string Digits(std::uint32_t n) {
        const std::string s = std::to_string(n);
        return std::u16string(s.begin(), s.end());
    }
    const Bytes* data_;
    std::size_t at_;
    bool failed_ = false;
};

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

struct Resource {
    std::uint16_t language;
    Bytes data;
};

// Every resource of the .res file by (type, name), names as "#<n>" for ordinals.
std::map<std::pair<std::string, std::string>, Resource> LoadRes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::map<std::pair<std::string, std::string>, Resource> out;
    Reader r(file);
    while (r.at() + 8 <= file.size() && !r.failed()) {
        const std::size_t start = r.at();
        const std::uint32_t dataSize = r.U32(), headerSize = r.U32();
        const std::string type = Narrow(r.NameOrOrdinal()), name = Narrow(r.NameOrOrdinal());
        r.Align4();
        r.U32();  // data version
        r.U16();  // memory flags
        const std::uint16_t language = static_cast<std::uint16_t>(r.U16());
        const std::size_t data = start + headerSize;
        if (dataSize > 0) {  // the file opens with an empty entry
            out[{type, name}] = {language,
                                 Bytes(file.begin() + data, file.begin() + data + dataSize)};
        }
        Reader next(file, data + dataSize);
        next.Align4();
        r = Reader(file, next.at());
    }
    return out;
}

class ResourceScript : public ::testing::Test {
protected:
    static void SetUpTestSuite() { resources_ = new auto(LoadRes(REFLASHER_RES_FILE)); }
    static void TearDownTestSuite() { delete resources_; }
    static const Bytes& Get(int type, int name) {
        static const Bytes none;
        auto it = resources_->find({"#" + std::to_string(type), "#" + std::to_string(name)});
        if (it == resources_->end()) {
            ADD_FAILURE() << "no resource of type " << type << " named " << name;
            return none;
        }
        return it->second.data;
    }
    static inline std::map<std::pair<std::string, std::string>, Resource>* resources_ = nullptr;
};

struct Control {
    int id;
    std::string kind;  // window class, upper case
    std::string text;
    std::uint32_t style;  // without WS_CHILD, which every control has
    int x, y, w, h;
};

struct Dialog {
    std::uint32_t style, exStyle;
    int x, y, w, h;
    std::string caption, font;
    int pointSize;
    std::vector<Control> controls;
};

std::string Upper(std::string s) {
    for (char& c : s) c = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
    return s;
}

// The predefined classes may be stored as atoms; name them as text.
std::string ClassName(const std::u16string& raw) {
    static const std::map<std::string, std::string> atoms = {
        {"#128", "BUTTON"}, {"#129", "EDIT"}, {"#130", "STATIC"}, {"#133", "COMBOBOX"}};
    const std::string s = Narrow(raw);
    auto it = atoms.find(s);
    return it != atoms.end() ? it->second : Upper(s);
}

Dialog ParseDialogEx(const Bytes& data) {
    Reader r(data);
    Dialog d{};
    EXPECT_EQ(r.U16(), 1u) << "DIALOGEX version";
    EXPECT_EQ(r.U16(), 0xFFFFu) << "DIALOGEX signature";
    r.U32();  // help id
    d.exStyle = r.U32();
    d.style = r.U32();
    const int count = static_cast<int>(r.U16());
    d.x = r.S16(), d.y = r.S16(), d.w = r.S16(), d.h = r.S16();
    EXPECT_EQ(r.NameOrOrdinal(), u"") << "menu";
    EXPECT_EQ(r.NameOrOrdinal(), u"") << "window class";
    d.caption = Narrow(r.Text());
    if (d.style & DS_SETFONT) {
        d.pointSize = static_cast<int>(r.U16());
        r.U16();  // weight
        r.U8();   // italic
        r.U8();   // character set
        d.font = Narrow(r.Text());
    }
    for (int i = 0; i < count && !r.failed(); ++i) {
        r.Align4();
        Control c{};
        r.U32();  // help id
        EXPECT_EQ(r.U32(), 0u) << "control " << i << " extended style";
        c.style = r.U32();
        EXPECT_TRUE(c.style & WS_CHILD) << "control " << i;
        c.style &= ~WS_CHILD;
        c.x = r.S16(), c.y = r.S16(), c.w = r.S16(), c.h = r.S16();
        c.id = static_cast<std::int16_t>(r.U32() & 0xFFFF);
        c.kind = ClassName(r.NameOrOrdinal());
        c.text = Narrow(r.NameOrOrdinal());
        const std::uint32_t extra = r.U16();
        for (std::uint32_t k = 0; k < extra; ++k) r.U8();
        d.controls.push_back(c);
    }
    return d;
}

void ExpectControls(const std::vector<Control>& got, const std::vector<Control>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        const Control &g = got[i], &w = want[i];
        SCOPED_TRACE("control #" + std::to_string(i) + " (id " + std::to_string(w.id) + ")");
        EXPECT_EQ(g.id, w.id);
        EXPECT_EQ(g.kind, w.kind);
        EXPECT_EQ(g.text, w.text);
        EXPECT_EQ(g.style, w.style) << std::hex << "got 0x" << g.style << ", want 0x" << w.style;
        EXPECT_EQ((std::vector<int>{g.x, g.y, g.w, g.h}), (std::vector<int>{w.x, w.y, w.w, w.h}));
    }
}

constexpr std::uint32_t V = WS_VISIBLE;

TEST_F(ResourceScript, MainDialogIsLaidOutControlByControlInTabOrder) {
    const Dialog d = ParseDialogEx(Get(RT_DIALOG, IDD_REFLASHER_DIALOG));
    EXPECT_EQ(d.style, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER |
                           DS_3DLOOK | DS_SETFONT);  // so no minimise or maximise box
    EXPECT_EQ(d.exStyle, WS_EX_APPWINDOW);
    EXPECT_EQ((std::vector<int>{d.x, d.y, d.w, d.h}), (std::vector<int>{0, 0, 298, 190}));
    EXPECT_EQ(std::wstring(d.caption.begin(), d.caption.end()), reflasher::expected::kMainCaption);
    EXPECT_EQ(d.font, "MS Shell Dlg");
    EXPECT_EQ(d.pointSize, 8);
    // No push button is the default one: all are plain BS_PUSHBUTTON.
    ExpectControls(
        d.controls,
        {
            {IDC_OPEN_FILE_GROUP, "BUTTON", "Open File", V | BS_GROUPBOX, 7, 7, 281, 47},
            {-1, "BUTTON", "", V | BS_GROUPBOX, 6, 60, 282, 120},
            {IDC_BROWSE, "BUTTON", "Browse ...", V | BS_PUSHBUTTON | WS_TABSTOP, 216, 24, 63, 20},
            {IDC_FILE_PATH, "STATIC", "Press the Browse Button to locate the file to download",
             V | SS_LEFT | SS_CENTERIMAGE | SS_PATHELLIPSIS | WS_TABSTOP, 18, 24, 192, 18},
            {IDC_PROGRESS, "MSCTLS_PROGRESS32", "", V | WS_TABSTOP, 18, 138, 168, 14},
            {IDC_START_DOWNLOAD, "BUTTON", "Start Download", V | BS_PUSHBUTTON | WS_TABSTOP, 18,
             102, 64, 20},
            {IDC_EXIT, "BUTTON", "Exit", V | BS_PUSHBUTTON | WS_TABSTOP, 122, 102, 64, 20},
            {IDC_BUSY_PICTURE, "STATIC", "#145", V | SS_BITMAP, 222, 126, 35, 44},
            {IDC_STATUS_LINE, "STATIC", "Static", V | SS_LEFT | SS_CENTERIMAGE | WS_TABSTOP, 18,
             156, 168, 12},
            {IDC_FIRMWARE_NOTICE, "STATIC", "", SS_LEFTNOWORDWRAP | WS_TABSTOP | WS_DISABLED, 6, 6,
             282, 48},
            {IDC_PRINTER_COMBO, "COMBOBOX", "", V | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 18, 78,
             168, 74},
            {IDC_LOGO, "STATIC", "", V | SS_OWNERDRAW | SS_NOTIFY, 204, 78, 72, 42},
        });
}

TEST_F(ResourceScript, AboutBoxShowsTheApplicationIcon) {
    const Dialog d = ParseDialogEx(Get(RT_DIALOG, IDD_ABOUTBOX));
    EXPECT_EQ(d.style, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ((std::vector<int>{d.x, d.y, d.w, d.h}), (std::vector<int>{0, 0, 235, 58}));
    EXPECT_EQ(std::wstring(d.caption.begin(), d.caption.end()), reflasher::expected::kAboutCaption);
    EXPECT_EQ(d.font, "MS Shell Dlg");
    EXPECT_EQ(d.pointSize, 8);
    ASSERT_EQ(d.controls.size(), 6u);
    ExpectControls(
        {d.controls[0], d.controls[2], d.controls[3]},
        {
            {-1, "STATIC", "Reflasher Version 2.0", V | SS_LEFT | SS_NOPREFIX, 45, 19, 119, 8},
            {1, "BUTTON", "OK", V | BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 178, 7, 50, 16},
            {-1, "STATIC", "#128", V | SS_ICON, 11, 17, 20, 20},
        });
    // The three further lines: plain static text at their places, each with some wording.
    const std::vector<std::vector<int>> places = {
        {45, 31, 119, 8}, {45, 7, 72, 8}, {45, 43, 74, 8}};
    const std::size_t lines[] = {1, 4, 5};
    for (std::size_t i = 0; i < 3; ++i) {
        const Control& c = d.controls[lines[i]];
        EXPECT_EQ(c.kind, "STATIC");
        EXPECT_EQ(c.style, V | SS_LEFT);
        EXPECT_FALSE(c.text.empty());
        EXPECT_EQ((std::vector<int>{c.x, c.y, c.w, c.h}), places[i]);
    }
}

TEST_F(ResourceScript, AboutMenuTextIsString101) {
    // Strings live in blocks of 16: block 101 / 16 + 1, place 101 % 16.
    const Bytes& block = Get(RT_STRING, IDS_ABOUTBOX / 16 + 1);
    Reader r(block);
    std::u16string text;
    for (int i = 0; i <= IDS_ABOUTBOX % 16; ++i) {
        const std::uint32_t length = r.U16();
        text.clear();
        for (std::uint32_t k = 0; k < length; ++k) text += static_cast<char16_t>(r.U16());
    }
    EXPECT_EQ(Narrow(text), "&About Reflasher...");
}

TEST_F(ResourceScript, ManifestAsksForCommonControls6OfItsArchitectureAndNoElevation) {
    const Bytes& data = Get(RT_MANIFEST, 1);
    const std::string xml(data.begin(), data.end());
    for (const char* part :
         {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
          "publicKeyToken=\"6595b64144ccf1df\"", "level=\"asInvoker\"", "uiAccess=\"false\"",
          // Per-monitor v2 DPI awareness, else system-aware: never per-monitor v1.
          "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true<",
          "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
          "PerMonitorV2, System<",
          // Windows 7, 8, 8.1 and 10/11: no compatibility shims.
          "<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">",
          "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",
          "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",
          "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",
          "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"}) {
        EXPECT_NE(xml.find(part), std::string::npos) << part;
    }
    const std::size_t controls = xml.find("Microsoft.Windows.Common-Controls");
    const std::size_t identityEnd = xml.find("/>", controls);
    EXPECT_NE(xml.substr(controls, identityEnd - controls)
                  .find("processorArchitecture=\"" REFLASHER_MANIFEST_ARCH "\""),
              std::string::npos);
}

// One node of the version block: key, value and children.
struct VersionNode {
    std::string key;
    std::uint32_t type = 0;
    Bytes value;  // binary value, or UTF-16 text
    std::vector<VersionNode> children;

    std::string Text() const {
        std::string s;
        for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
            if (value[i] == 0 && value[i + 1] == 0) break;
            s += static_cast<char>(value[i]);
        }
        return s;
    }
    const VersionNode* Child(const std::string& k) const {
        for (const VersionNode& c : children)
            if (c.key == k) return &c;
        ADD_FAILURE() << "no " << k << " under " << key;
        return nullptr;
    }
};

VersionNode ParseVersionNode(const Bytes& data, std::size_t at) {
    Reader r(data, at);
    VersionNode node;
    const std::size_t end = at + r.U16();
    const std::uint32_t valueLength = r.U16();
    node.type = r.U16();
    node.key = Narrow(r.Text());
    r.Align4();
    const std::size_t valueBytes =
        node.type == 1 ? 2 * valueLength : valueLength;  // text counts WORDs
    for (std::size_t i = 0; i < valueBytes; ++i)
        node.value.push_back(static_cast<std::uint8_t>(r.U8()));
    r.Align4();
    while (r.at() < end && !r.failed()) {
        const std::size_t childStart = r.at();
        const std::uint32_t length = r.U16();
        if (length == 0) break;
        node.children.push_back(ParseVersionNode(data, childStart));
        r = Reader(data, childStart + length);
        r.Align4();
    }
    return node;
}

TEST_F(ResourceScript, VersionBlockHasTheFixedPartStringsAndTranslation) {
    const VersionNode root = ParseVersionNode(Get(RT_VERSION, 1), 0);
    EXPECT_EQ(root.key, "VS_VERSION_INFO");
    ASSERT_EQ(root.value.size(), 52u);
    Reader f(root.value);
    EXPECT_EQ(f.U32(), 0xFEEF04BDu) << "signature";
    f.U32();                          // structure version
    EXPECT_EQ(f.U32(), 0x00080000u);  // file version 8.0
    EXPECT_EQ(f.U32(), 0x00000051u);  //             .0.81
    EXPECT_EQ(f.U32(), 0x00080000u);  // product version 8.0
    EXPECT_EQ(f.U32(), 0x00000051u);  //                .0.81
    const std::uint32_t mask = f.U32();
    EXPECT_EQ(f.U32() & mask, 0x20u);  // special build
    EXPECT_EQ(f.U32(), 0x4u);          // 32-bit Windows
    EXPECT_EQ(f.U32(), 0x1u);          // application

    const VersionNode* table = root.Child("StringFileInfo");
    ASSERT_NE(table, nullptr);
    const VersionNode* english = table->Child("040904e4");
    ASSERT_NE(english, nullptr);
    std::map<std::string, std::string> strings;
    for (const VersionNode& c : english->children) strings[c.key] = c.Text();
    EXPECT_FALSE(strings["CompanyName"].empty());
    EXPECT_FALSE(strings["LegalCopyright"].empty());
    strings.erase("CompanyName");
    strings.erase("LegalCopyright");
    const std::map<std::string, std::string> expected = {
        {"Comments", "March 24, 2015"},        {"FileDescription", "Dovrex Reflasher"},
        {"FileVersion", "8.0.0.81"},           {"InternalName", "Reflasher.exe"},
        {"OriginalFilename", "Reflasher.exe"}, {"ProductName", "Dovrex Reflasher"},
        {"ProductVersion", "8.0.0.81"},        {"SpecialBuild", "8.0.81"}};
    EXPECT_EQ(strings, expected);

    const VersionNode* vars = root.Child("VarFileInfo");
    ASSERT_NE(vars, nullptr);
    const VersionNode* translation = vars->Child("Translation");
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation->value, (Bytes{0x09, 0x04, 0xE4, 0x04}));  // 0x409, 1252
}

TEST_F(ResourceScript, BitmapsAreTheFramesAndTheLogo) {
    struct Expected {
        int id, width, height, bits, compression;
    };
    for (const Expected& e :
         {Expected{IDB_BUSY_FRAME_1, 53, 71, 24, 0}, Expected{IDB_BUSY_FRAME_2, 53, 71, 24, 0},
          Expected{IDB_BUSY_FRAME_3, 53, 71, 24, 0}, Expected{IDB_BUSY_FRAME_4, 53, 71, 24, 0},
          Expected{IDB_LOGO, 96, 69, 8, 1},
          // The larger scales' sets, 8-bit run-length: frames and logo each.
          Expected{IDB_PICTURES_125 + 1, 66, 89, 8, 1}, Expected{IDB_PICTURES_125 + 5, 120, 86, 8, 1},
          Expected{IDB_PICTURES_150 + 2, 80, 107, 8, 1}, Expected{IDB_PICTURES_150 + 5, 144, 104, 8, 1},
          Expected{IDB_PICTURES_175 + 3, 93, 124, 8, 1}, Expected{IDB_PICTURES_175 + 5, 168, 121, 8, 1},
          Expected{IDB_PICTURES_200 + 4, 106, 142, 8, 1},
          Expected{IDB_PICTURES_200 + 5, 192, 138, 8, 1}}) {
        SCOPED_TRACE("bitmap " + std::to_string(e.id));
        Reader r(Get(RT_BITMAP, e.id));  // a bitmap resource is the file without its 14-byte header
        EXPECT_EQ(r.U32(), 40u);
        EXPECT_EQ(int(r.U32()), e.width);
        EXPECT_EQ(int(r.U32()), e.height);
        r.U16();
        EXPECT_EQ(int(r.U16()), e.bits);
        EXPECT_EQ(int(r.U32()), e.compression);
    }
}

TEST_F(ResourceScript, IconGroupHoldsTheNineImages) {
    Reader r(Get(RT_GROUP_ICON, IDR_MAINFRAME));
    EXPECT_EQ(r.U16(), 0u);
    EXPECT_EQ(r.U16(), 1u);
    const std::uint32_t count = r.U16();
    std::vector<std::pair<int, int>> images;
    for (std::uint32_t i = 0; i < count && !r.failed(); ++i) {
        const int width = static_cast<int>(r.U8());
        r.U8();  // height
        r.U8();  // colour count
        r.U8();
        r.U16();  // planes
        const int bits = static_cast<int>(r.U16());
        const std::uint32_t size = r.U32();
        const int id = static_cast<int>(r.U16());
        images.push_back({width == 0 ? 256 : width, bits});
        const Bytes& image = Get(RT_ICON, id);
        EXPECT_EQ(image.size(), size) << "icon image " << id;
        if (width == 0) {
            EXPECT_EQ(Bytes(image.begin(), image.begin() + std::min<std::size_t>(4, image.size())),
                      (Bytes{0x89, 'P', 'N', 'G'}));
        }
    }
    const std::vector<std::pair<int, int>> expected = {
        {16, 4}, {32, 4}, {48, 8}, {32, 8}, {16, 8}, {256, 32}, {48, 32}, {32, 32}, {16, 32}};
    EXPECT_EQ(images, expected);
}

TEST_F(ResourceScript, EverythingIsUsEnglishAndNoFirmwareIsCarried) {
    for (const auto& [key, resource] : *resources_) {
        EXPECT_EQ(resource.language, kUsEnglish) << key.first << "/" << key.second;
        EXPECT_NE(key.second, "#" + std::to_string(IDR_FIRMWARE_IMAGE))
            << "the exe target adds the image";
    }
}

}  // namespace

// Reflasher.rc as windres compiles it, read back from the .res file: the
// dialog templates laid out and styled as the dialog code needs, the string, manifest, version block,
// and that the bitmaps and icon named are the right pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/shared/ResourceFile.h"

namespace {

// Window, dialog and control styles (their Win32 values; this test builds on the host).
constexpr std::uint32_t WS_POPUP = 0x80000000, WS_VISIBLE = 0x10000000,
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

using namespace reflasher::res;

class ResourceScript : public ::testing::Test {
protected:
    static void SetUpTestSuite() { resources_ = new auto(LoadResFile(REFLASHER_RES_FILE)); }
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
    static inline Resources* resources_ = nullptr;
};

constexpr std::uint32_t V = WS_VISIBLE;

// A control's place; a combo box's is its closed field (the template's height
// is the dropped list's), about one line of the dialog font high.
struct Place {
    int left, top, right, bottom;
};
Place PlaceOf(const Control& c) {
    return {c.x, c.y, c.x + c.w, c.y + (c.kind == "COMBOBOX" ? std::min(c.h, 14) : c.h)};
}
bool Inside(const Place& inner, const Place& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}
bool Overlap(const Place& a, const Place& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
bool IsGroupBox(const Control& c) { return c.kind == "BUTTON" && (c.style & 0xF) == BS_GROUPBOX; }

// Every control lies inside the dialog, and no two visible ones share a spot,
// but for a group box around what it frames (which then comes first, beneath).
void ExpectLaidOutApart(const Dialog& d) {
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const Control& a = d.controls[i];
        EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.w > 0 && a.h > 0 && a.x + a.w <= d.w && a.y + a.h <= d.h)
            << "control " << i << " (id " << a.id << ") leaves the dialog";
        for (std::size_t k = i + 1; k < d.controls.size(); ++k) {
            const Control& b = d.controls[k];
            if (!(a.style & V) || !(b.style & V) || !Overlap(PlaceOf(a), PlaceOf(b))) continue;
            EXPECT_TRUE(IsGroupBox(a) && Inside(PlaceOf(b), PlaceOf(a)))
                << "controls " << i << " (id " << a.id << ") and " << k << " (id " << b.id
                << ") overlap";
        }
    }
}

const Control* Find(const Dialog& d, int id) {
    for (const Control& c : d.controls)
        if (c.id == id) return &c;
    ADD_FAILURE() << "no control " << id;
    return nullptr;
}

TEST_F(ResourceScript, MainDialogControlsFitApartWithTheStylesTheDialogNeedsInTabOrder) {
    const Dialog d = ParseDialogEx(Get(RT_DIALOG, IDD_REFLASHER_DIALOG));
    EXPECT_EQ(d.style, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER |
                           DS_3DLOOK | DS_SETFONT);  // so no minimise or maximise box
    EXPECT_EQ(d.exStyle, WS_EX_APPWINDOW);
    EXPECT_EQ(std::wstring(d.caption.begin(), d.caption.end()), reflasher::expected::kMainCaption);
    EXPECT_EQ(d.font, "MS Shell Dlg");
    EXPECT_EQ(d.pointSize, 8);
    ExpectLaidOutApart(d);

    // Tab goes through the stops in the order the README gives.
    std::vector<int> stops;
    for (const Control& c : d.controls)
        if (c.style & WS_TABSTOP) stops.push_back(c.id);
    EXPECT_EQ(stops, (std::vector<int>{IDC_BROWSE, IDC_FILE_PATH, IDC_PROGRESS, IDC_START_DOWNLOAD,
                                       IDC_EXIT, IDC_STATUS_LINE, IDC_FIRMWARE_NOTICE,
                                       IDC_PRINTER_COMBO}));

    // Each control the dialog code reaches by id, of its class, with its style. No
    // push button is the default one; the path shortens in its middle; the notice
    // shows only when an image is carried; the logo is drawn by the dialog; the
    // printer list drops down.
    const struct {
        int id;
        const char* kind;
        const char* text;
        std::uint32_t style;
    } needs[] = {
        {IDC_OPEN_FILE_GROUP, "BUTTON", "Open File", V | BS_GROUPBOX},
        {IDC_BROWSE, "BUTTON", "Browse ...", V | BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_FILE_PATH, "STATIC", "Press the Browse Button to locate the file to download",
         V | SS_LEFT | SS_CENTERIMAGE | SS_PATHELLIPSIS | WS_TABSTOP},
        {IDC_PROGRESS, "MSCTLS_PROGRESS32", "", V | WS_TABSTOP},
        {IDC_START_DOWNLOAD, "BUTTON", "Start Download", V | BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_EXIT, "BUTTON", "Exit", V | BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_BUSY_PICTURE, "STATIC", "#145", V | SS_BITMAP},
        {IDC_STATUS_LINE, "STATIC", "Static", V | SS_LEFT | SS_CENTERIMAGE | WS_TABSTOP},
        {IDC_FIRMWARE_NOTICE, "STATIC", "", SS_LEFTNOWORDWRAP | WS_TABSTOP | WS_DISABLED},
        {IDC_PRINTER_COMBO, "COMBOBOX", "", V | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP},
        {IDC_LOGO, "STATIC", "", V | SS_OWNERDRAW | SS_NOTIFY},
    };
    for (const auto& need : needs) {
        SCOPED_TRACE("control " + std::to_string(need.id));
        const Control* c = Find(d, need.id);
        if (c == nullptr) continue;
        EXPECT_EQ(c->kind, need.kind);
        EXPECT_EQ(c->text, need.text);
        EXPECT_EQ(c->style, need.style) << std::hex << "got 0x" << c->style << ", want 0x" << need.style;
    }
    // Besides those, only the frame around the printer, progress and buttons.
    ASSERT_EQ(d.controls.size(), std::size(needs) + 1);
    const Control* frame = Find(d, -1);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsGroupBox(*frame) && frame->text.empty() && frame->style == (V | BS_GROUPBOX));

    // Shown, the notice takes the file controls' place.
    const Control* notice = Find(d, IDC_FIRMWARE_NOTICE);
    ASSERT_NE(notice, nullptr);
    for (int id : {IDC_OPEN_FILE_GROUP, IDC_BROWSE, IDC_FILE_PATH}) {
        const Control* c = Find(d, id);
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(Inside(PlaceOf(*c), PlaceOf(*notice))) << "control " << id;
    }
}

TEST_F(ResourceScript, AboutBoxShowsTheApplicationIcon) {
    const Dialog d = ParseDialogEx(Get(RT_DIALOG, IDD_ABOUTBOX));
    EXPECT_EQ(d.style, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(std::wstring(d.caption.begin(), d.caption.end()), reflasher::expected::kAboutCaption);
    EXPECT_EQ(d.font, "MS Shell Dlg");
    EXPECT_EQ(d.pointSize, 8);
    ExpectLaidOutApart(d);
    // The name and version, OK (the only stop, the default), the icon, and three
    // further lines of plain text, each with some wording.
    ASSERT_EQ(d.controls.size(), 6u);
    const struct {
        int id;
        const char* kind;
        const char* text;  // null: any but empty
        std::uint32_t style;
    } controls[] = {
        {-1, "STATIC", "Reflasher Version 2.0", V | SS_LEFT | SS_NOPREFIX},
        {-1, "STATIC", nullptr, V | SS_LEFT},
        {1, "BUTTON", "OK", V | BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP},
        {-1, "STATIC", "#128", V | SS_ICON},
        {-1, "STATIC", nullptr, V | SS_LEFT},
        {-1, "STATIC", nullptr, V | SS_LEFT},
    };
    for (std::size_t i = 0; i < std::size(controls); ++i) {
        SCOPED_TRACE("control #" + std::to_string(i));
        const Control& c = d.controls[i];
        EXPECT_EQ(c.id, controls[i].id);
        EXPECT_EQ(c.kind, controls[i].kind);
        if (controls[i].text != nullptr) EXPECT_EQ(c.text, controls[i].text);
        else EXPECT_FALSE(c.text.empty());
        EXPECT_EQ(c.style, controls[i].style);
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

TEST_F(ResourceScript, VersionBlockHasTheFixedPartStringsAndTranslation) {
    const VersionNode root = ParseVersionNode(Get(RT_VERSION, 1));
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

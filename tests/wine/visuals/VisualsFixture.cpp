#include "tests/wine/visuals/VisualsFixture.h"

#include <cstdlib>

#include "resources/resource.h"
#include "tests/wine/support/E2eEnvironment.h"
#include "tests/wine/visuals/support/Bitmaps.h"

namespace reflasher::visuals {

void VisualsFixture::SetUp() {
    ScenarioFixture::SetUp();
    host = std::make_unique<HostRequests>(env.shotFolder);
    for (int i = 0; i < 4; ++i) {
        frames[i] = CommittedPicture(L"busy-" + std::to_wstring(i + 1) + L".bmp");
        ASSERT_EQ(frames[i].width, 53) << "busy-" << i + 1 << ".bmp";
    }
}

RgbImage VisualsFixture::CommittedPicture(const std::wstring& name) {
    const wchar_t* source = _wgetenv(L"REFLASHER_SOURCE_DIR");
    EXPECT_NE(source, nullptr) << "REFLASHER_SOURCE_DIR is not set: run through CTest";
    if (source == nullptr) return {};
    const auto picture =
        LoadBmpFile(e2e::WindowsPath(std::wstring(source) + L"/resources/" + name));
    EXPECT_TRUE(picture.has_value()) << "can't load " << e2e::Printable(name);
    return picture.value_or(RgbImage{});
}

RECT VisualsFixture::ControlArea(int id) const { return ClientAreaOnScreen(dialog.Control(id)); }

FrameTimeline VisualsFixture::WatchBusyPicture(const std::wstring& name, unsigned ms) {
    StartWatchingBusyPicture(name, ms);
    return FinishWatchingBusyPicture(name, ms);
}

void VisualsFixture::StartWatchingBusyPicture(const std::wstring& name, unsigned ms) {
    RECT area = ControlArea(IDC_BUSY_PICTURE);
    // The bitmap's own size at the control's top-left; the control may be larger.
    area.right = area.left + 53;
    area.bottom = area.top + 71;
    EXPECT_TRUE(host->StartCrops(name, area, ms));
}

FrameTimeline VisualsFixture::FinishWatchingBusyPicture(const std::wstring& name, unsigned ms) {
    const std::vector<ScreenCrop> crops = host->FinishCrops(name, ms + 30000);
    EXPECT_FALSE(crops.empty()) << "no pictures of control 1010 came back";
    return ReadTimeline(crops, frames);
}

int VisualsFixture::FocusedControl() const {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog.Window(), nullptr), &thread)) return 0;
    HWND focus = thread.hwndFocus;
    if (focus != nullptr && GetParent(focus) == dialog.Control(IDC_PRINTER_COMBO))
        focus = GetParent(focus);
    if (focus == nullptr || GetParent(focus) != dialog.Window()) return 0;
    return GetDlgCtrlID(focus);
}

}  // namespace reflasher::visuals

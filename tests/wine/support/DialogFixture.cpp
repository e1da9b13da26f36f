#include "tests/wine/support/DialogFixture.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "resources/resource.h"
#include "tests/wine/support/Bitmaps.h"
#include "tests/wine/support/Files.h"
#include "tests/wine/support/Screenshots.h"
#include "tests/wine/support/Waiting.h"
#include "sim/win32/wine/RegistryKey.h"

namespace reflasher::e2e {

void DialogFixture::SetUpTestSuite() { InitCommonControls(); }

void DialogFixture::SetUp() {
    env = E2eEnvironment::FromVariables(&missing_);
    host = std::make_unique<visuals::HostRequests>(env.shotFolder);
    if (!missing_.empty()) return;  // no program to start: a dialog of this process
    // Xvfb has no window manager: Wine then draws the frames and captions itself
    // (as the screenshots should show them) and doesn't wait for one to map windows.
    ASSERT_TRUE(wineprefix::RegistryKey::Create(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver")
                    .SetString(L"Managed", L"N"));
    for (int i = 0; i < 4; ++i) {
        frames[i] = CommittedPicture(L"busy-" + std::to_wstring(i + 1) + L".bmp");
        ASSERT_EQ(frames[i].width, 53) << "busy-" << i + 1 << ".bmp";
    }
}

void DialogFixture::TearDown() {
    if (recorder) recorder->Stop();
    if (HasFailure()) {
        if (recorder) {
            std::printf("--- what the dialog showed:\n");
            for (const Observation& seen : recorder->Observations())
                std::printf("%s\n", Describe(seen).c_str());
        }
        for (const auto& embosser : embossers) {
            std::printf("--- bridge log of '%s':\n%s", Printable(embosser->Printer().name).c_str(),
                        embosser->BridgeLog().c_str());
        }
        std::fflush(stdout);
    }
    program.Kill();
    for (auto& embosser : embossers) embosser->StopBridge();
}

SimulatedEmbosser& DialogFixture::AddEmbosser(EmbosserSetup setup, const std::wstring& tag) {
    EXPECT_EQ(missing_, "") << missing_ << " is not set: run the scenarios through CTest";
    embossers.push_back(std::make_unique<SimulatedEmbosser>(env, std::move(setup), tag));
    const std::string error = embossers.back()->Install();
    EXPECT_EQ(error, "") << "installing embosser '" << Printable(tag) << "'";
    return *embossers.back();
}

RemoteDialog DialogFixture::StartProgram(const std::wstring& path) {
    EXPECT_EQ(missing_, "") << missing_ << " is not set: run the scenarios through CTest";
    const std::string error = program.Start(path);
    EXPECT_EQ(error, "") << "starting " << Printable(path);
    dialog = program.WaitForVisibleDialog(kProgramStartMs);
    EXPECT_TRUE(dialog.Visible()) << "no dialog \"" << Printable(kMainCaption) << "\" on screen";
    return dialog;
}

void DialogFixture::StartRecording() {
    recorder = std::make_unique<DialogRecorder>(dialog, program.ProcessId());
}

std::optional<MessageBoxSeen> DialogFixture::WaitForMessageBox(unsigned timeoutMs,
                                                                 const std::wstring* text) {
    std::optional<MessageBoxSeen> found;
    WaitUntil(
        [&] {
            for (const MessageBoxSeen& box : VisibleMessageBoxes(program.ProcessId())) {
                if (text == nullptr || box.text == *text) {
                    found = box;
                    return true;
                }
            }
            return !program.Running();
        },
        timeoutMs);
    return found;
}

bool DialogFixture::Answer(const MessageBoxSeen& box) {
    if (recorder) {
        EXPECT_TRUE(WaitUntil([&] { return recorder->SawMessageBox(box.window); }, kBoxCloseMs))
            << "the recorder missed \"" << Printable(box.text) << "\"";
    }
    return AnswerMessageBox(box.window, kBoxCloseMs);
}

void DialogFixture::ExpectMessageAndAnswer(const std::wstring& caption, const std::wstring& text,
                                             unsigned timeoutMs) {
    const std::optional<MessageBoxSeen> box = WaitForMessageBox(timeoutMs, &text);
    if (!box) {
        std::string shown;
        for (const MessageBoxSeen& other : VisibleMessageBoxes(program.ProcessId())) {
            shown += " \"" + Printable(other.caption) + ": " + Printable(other.text) + "\"";
        }
        ADD_FAILURE() << "no message box \"" << Printable(text)
                      << "\"; on screen:" << (shown.empty() ? " none" : shown);
        return;
    }
    EXPECT_EQ(Printable(box->caption), Printable(caption))
        << "caption of \"" << Printable(text) << "\"";
    EXPECT_EQ(box->owner, dialog.Window())
        << "\"" << Printable(text) << "\" is not owned by the dialog";
    EXPECT_TRUE(Answer(*box)) << "\"" << Printable(text) << "\" didn't close";
}

void DialogFixture::ExpectOnlyTheDialogFor(unsigned ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        for (const TopWindow& window : VisibleTopLevelWindows(program.ProcessId())) {
            if (window.window == dialog.Window()) continue;
            const MessageBoxSeen box =
                IsMessageBox(window.window) ? ReadMessageBox(window.window) : MessageBoxSeen{};
            ADD_FAILURE() << "unexpected window \"" << Printable(window.caption) << "\" ("
                          << Printable(window.className) << ") " << Printable(box.text);
            AnswerMessageBox(window.window, kBoxCloseMs);
            return;
        }
        Sleep(kPollMs);
    }
}

void DialogFixture::ExpectExitEndsProgram() {
    ASSERT_TRUE(program.Running());
    ASSERT_TRUE(dialog.PostCommand(IDC_EXIT));
    EXPECT_TRUE(program.WaitForExit(kBoxCloseMs)) << "Exit did not end the program";
}

std::wstring DialogFixture::Screenshot(const std::wstring& name) {
    const std::wstring picture = TakeScreenshot(env.shotFolder, name, 20000);
    EXPECT_NE(picture, L"")
        << "no screenshot came back (is the scenario run by its wrapper script?)";
    if (!picture.empty()) {
        std::printf("screenshot: %s\n", Printable(picture).c_str());
        std::fflush(stdout);
        RecordProperty("screenshot_" + Printable(name), Printable(picture));
    }
    return picture;
}

std::vector<unsigned char> DialogFixture::SyntheticImage() const {
    const auto image = ReadFileBytes(WindowsPath(env.syntheticImage));
    EXPECT_TRUE(image.has_value()) << "can't read " << Printable(env.syntheticImage);
    return image.value_or(std::vector<unsigned char>());
}

visuals::RgbImage DialogFixture::CommittedPicture(const std::wstring& name) {
    const wchar_t* source = _wgetenv(L"REFLASHER_SOURCE_DIR");
    EXPECT_NE(source, nullptr) << "REFLASHER_SOURCE_DIR is not set: run through CTest";
    if (source == nullptr) return {};
    const auto picture =
        visuals::LoadBmpFile(WindowsPath(std::wstring(source) + L"/resources/" + name));
    EXPECT_TRUE(picture.has_value()) << "can't load " << Printable(name);
    return picture.value_or(visuals::RgbImage{});
}

RECT DialogFixture::ControlArea(int id) const { return visuals::ClientAreaOnScreen(dialog.Control(id)); }

visuals::FrameTimeline DialogFixture::WatchBusyPicture(const std::wstring& name, unsigned ms) {
    StartWatchingBusyPicture(name, ms);
    return FinishWatchingBusyPicture(name, ms);
}

void DialogFixture::StartWatchingBusyPicture(const std::wstring& name, unsigned ms) {
    RECT area = ControlArea(IDC_BUSY_PICTURE);
    // The bitmap's own size at the control's top-left; the control may be larger.
    area.right = area.left + 53;
    area.bottom = area.top + 71;
    EXPECT_TRUE(host->StartCrops(name, area, ms));
}

visuals::FrameTimeline DialogFixture::FinishWatchingBusyPicture(const std::wstring& name, unsigned ms) {
    const std::vector<visuals::ScreenCrop> crops = host->FinishCrops(name, ms + 30000);
    EXPECT_FALSE(crops.empty()) << "no pictures of control 1010 came back";
    return visuals::ReadTimeline(crops, frames);
}

int DialogFixture::FocusedControl() const {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog.Window(), nullptr), &thread)) return 0;
    HWND focus = thread.hwndFocus;
    if (focus != nullptr && GetParent(focus) == dialog.Control(IDC_PRINTER_COMBO))
        focus = GetParent(focus);
    if (focus == nullptr || GetParent(focus) != dialog.Window()) return 0;
    return GetDlgCtrlID(focus);
}

}  // namespace reflasher::e2e

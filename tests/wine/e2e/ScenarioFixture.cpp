#include "tests/wine/e2e/ScenarioFixture.h"

#include <cstdio>

#include "resources/resource.h"
#include "tests/wine/support/Files.h"
#include "tests/wine/support/Screenshots.h"
#include "tests/wine/support/Waiting.h"
#include "sim/win32/wine/RegistryKey.h"

namespace reflasher::e2e {

void ScenarioFixture::SetUp() {
    std::string missing;
    env = E2eEnvironment::FromVariables(&missing);
    ASSERT_TRUE(missing.empty()) << missing << " is not set: run the scenarios through CTest";
    // Xvfb has no window manager: Wine then draws the frames and captions itself
    // (as the screenshots should show them) and doesn't wait for one to map windows.
    ASSERT_TRUE(wineprefix::RegistryKey::Create(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver")
                    .SetString(L"Managed", L"N"));
}

void ScenarioFixture::TearDown() {
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

SimulatedEmbosser& ScenarioFixture::AddEmbosser(EmbosserSetup setup, const std::wstring& tag) {
    embossers.push_back(std::make_unique<SimulatedEmbosser>(env, std::move(setup), tag));
    const std::string error = embossers.back()->Install();
    EXPECT_EQ(error, "") << "installing embosser '" << Printable(tag) << "'";
    return *embossers.back();
}

RemoteDialog ScenarioFixture::StartProgram(const std::wstring& path) {
    const std::string error = program.Start(path);
    EXPECT_EQ(error, "") << "starting " << Printable(path);
    dialog = program.WaitForVisibleDialog(kProgramStartMs);
    EXPECT_TRUE(dialog.Visible()) << "no dialog \"" << Printable(kMainCaption) << "\" on screen";
    return dialog;
}

void ScenarioFixture::StartRecording() {
    recorder = std::make_unique<DialogRecorder>(dialog, program.ProcessId());
}

std::optional<MessageBoxSeen> ScenarioFixture::WaitForMessageBox(unsigned timeoutMs,
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

bool ScenarioFixture::Answer(const MessageBoxSeen& box) {
    if (recorder) {
        EXPECT_TRUE(WaitUntil([&] { return recorder->SawMessageBox(box.window); }, kBoxCloseMs))
            << "the recorder missed \"" << Printable(box.text) << "\"";
    }
    return AnswerMessageBox(box.window, kBoxCloseMs);
}

void ScenarioFixture::ExpectMessageAndAnswer(const std::wstring& caption, const std::wstring& text,
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

void ScenarioFixture::ExpectOnlyTheDialogFor(unsigned ms) {
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

void ScenarioFixture::ExpectExitEndsProgram() {
    ASSERT_TRUE(program.Running());
    ASSERT_TRUE(dialog.PostCommand(IDC_EXIT));
    EXPECT_TRUE(program.WaitForExit(kBoxCloseMs)) << "Exit did not end the program";
}

std::wstring ScenarioFixture::Screenshot(const std::wstring& name) {
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

std::vector<unsigned char> ScenarioFixture::SyntheticImage() const {
    const auto image = ReadFileBytes(WindowsPath(env.syntheticImage));
    EXPECT_TRUE(image.has_value()) << "can't read " << Printable(env.syntheticImage);
    return image.value_or(std::vector<unsigned char>());
}

}  // namespace reflasher::e2e

// Scenario: copies of a marker DLL named winspool.drv, msimg32.dll and oleacc.dll
// beside Reflasher.exe, as a web page may leave them in a Downloads folder, and
// Wine told to prefer such copies to its own DLLs, as Windows does for DLLs it
// doesn't protect. A whole update in each mode, with a screen reader's questions
// in embedded mode and the file dialog in file mode; no copy may ever be loaded.
// (version.dll isn't planted: Wine's own user32 imports it, Windows' doesn't; the
// import check judges it.)
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "sim/win32/wine/HostPaths.h"
#include "tests/wine/support/FirmwareFiles.h"
#include "tests/wine/support/RunChecks.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/Files.h"
#include "tests/wine/support/OpenFileDialog.h"
#include "tests/wine/support/Waiting.h"
#include "tests/wine/support/Accessibility.h"

namespace reflasher::e2e {
namespace {

constexpr const wchar_t* kPlantedNames[] = {L"winspool.drv", L"msimg32.dll", L"oleacc.dll"};

class PlantedDlls : public DialogFixture {
protected:
    // The program copied into a folder of its own with the three copies beside it;
    // gives the copy's Windows path.
    std::wstring PlantBeside(const std::wstring& programUnixPath) {
        const std::wstring folder = WindowsPath(env.workFolder) + L"\\Downloads";
        log_ = WindowsPath(env.workFolder) + L"\\planted-loads.log";
        const std::wstring marker =
            WindowsPath(wineprefix::EnvironmentValue(L"REFLASHER_PLANTED_MARKER"));
        const std::wstring program = folder + L"\\Reflasher.exe";
        EXPECT_TRUE(MakeFolders(folder));
        EXPECT_TRUE(CopyFileW(WindowsPath(programUnixPath).c_str(), program.c_str(), FALSE));
        for (const wchar_t* name : kPlantedNames) {
            EXPECT_TRUE(CopyFileW(marker.c_str(), (folder + L"\\" + name).c_str(), FALSE))
                << Printable(name);
        }
        // The marker must be able to tell: loaded, it writes its path. (Under a name
        // of its own: Wine would give its builtin for a system DLL's name.)
        SetEnvironmentVariableW(L"REFLASHER_PLANTED_LOG", log_.c_str());
        const std::wstring check = WindowsPath(env.workFolder) + L"\\marker-check.dll";
        EXPECT_TRUE(CopyFileW(marker.c_str(), check.c_str(), FALSE));
        const HMODULE checked = LoadLibraryW(check.c_str());
        EXPECT_NE(checked, nullptr);
        if (checked != nullptr) FreeLibrary(checked);
        EXPECT_NE(PlantedLoads(), "") << "the marker DLL wrote nothing when loaded";
        DeleteFileW(log_.c_str());
        // run-scenario.sh has told Wine to prefer such copies to its own DLLs.
        EXPECT_NE(wineprefix::EnvironmentValue(L"WINEDLLOVERRIDES").find(L"oleacc=n,b"),
                  std::wstring::npos)
            << "REFLASHER_E2E_NATIVE_FIRST was not passed on";
        return program;
    }
    // What the copies logged: one path a line, empty when none was loaded.
    std::string PlantedLoads() const {
        const auto bytes = ReadFileBytes(log_);
        if (!bytes) return std::string();
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes->data()),
                                bytes->size() / sizeof(wchar_t));
        return Printable(text);
    }
    // The run from Start Download to its success message, closed.
    void ExpectSuccessfulRun() {
        StartRecording();
        ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
        const auto result = WaitForMessageBox(kWholeRunMs);
        ASSERT_TRUE(result.has_value()) << "no result message";
        EXPECT_EQ(Printable(result->text), Printable(expected::kSuccess));
        ASSERT_TRUE(Answer(*result));
        EXPECT_TRUE(recorder->WaitForBarPosition(0, kBoxCloseMs));
        recorder->Stop();
        EXPECT_EQ(Printable(recorder->StatusLines()), Printable(SuccessfulRunStatusLines()));
    }

    std::wstring log_;
};

TEST_F(PlantedDlls, NoneLoadsInAWholeUpdateReadByAScreenReader) {
    SimulatedEmbosser& embosser = AddEmbosser({}, L"main");
    ASSERT_FALSE(HasFailure());
    StartProgram(PlantBeside(env.embeddedProgram));
    ASSERT_TRUE(dialog.Visible()) << "planted: " << PlantedLoads();
    EXPECT_EQ(Printable(dialog.ComboLines()),
              Printable(std::vector<std::wstring>{L"Dovrex Embosser on USB001"}));

    // A screen reader's questions make the program load accessibility.
    visuals::ComScope com;
    ASSERT_TRUE(com.Ok());
    for (const auto& [id, name] :
         {std::pair{IDC_PRINTER_COMBO, L"Printer"}, std::pair{IDC_PROGRESS, L"Progress"}}) {
        EXPECT_EQ(Printable(visuals::AccessibleName(dialog.Control(id)).value_or(L"<none>")),
                  Printable(name))
            << "control " << id;
    }
    ExpectSuccessfulRun();
    EXPECT_TRUE(ReceivedServiceJobThenImage(embosser, SyntheticImage()));
    ExpectExitEndsProgram();
    EXPECT_EQ(PlantedLoads(), "") << "copies beside the program were loaded";
}

TEST_F(PlantedDlls, NoneLoadsThroughBrowseAndAWholeUpdate) {
    const std::vector<unsigned char> image = ChosenFirmwareImage();
    const std::wstring chosen = WriteChosenFirmware(env.workFolder, image);
    ASSERT_NE(chosen, L"");
    SimulatedEmbosser& embosser = AddEmbosser({}, L"main");
    ASSERT_FALSE(HasFailure());
    StartProgram(PlantBeside(env.fileModeProgram));
    ASSERT_TRUE(dialog.Visible()) << "planted: " << PlantedLoads();

    ASSERT_TRUE(dialog.ClickButton(IDC_BROWSE));
    const OpenDialogSeen browse = WaitForOpenDialog(program.ProcessId(), kProgramStartMs);
    ASSERT_NE(browse.window, nullptr) << "no file dialog; planted: " << PlantedLoads();
    ASSERT_TRUE(ChooseFile(browse, chosen, kBoxCloseMs));
    EXPECT_TRUE(
        WaitUntil([&] { return dialog.ControlText(IDC_FILE_PATH) == chosen; }, kBoxCloseMs));
    ExpectSuccessfulRun();
    EXPECT_TRUE(ReceivedServiceJobThenImage(embosser, image));
    ExpectExitEndsProgram();
    EXPECT_EQ(PlantedLoads(), "") << "copies beside the program were loaded";
}

}  // namespace
}  // namespace reflasher::e2e

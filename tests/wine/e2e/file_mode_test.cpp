// Scenario 3: the program without an image. Start Download first asks for a
// file; Browse opens the real file dialog, where the path is typed and Open
// pressed. A chosen file that has meanwhile been cut short is refused at Start
// with nothing sent, and one that isn't firmware is refused by Browse, which
// keeps the earlier choice; once whole again, the chosen file reaches the
// embosser byte for byte: as it was at Start, though it is overwritten with
// other firmware while the run negotiates.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/wine/support/FirmwareFiles.h"
#include "tests/wine/support/RunChecks.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/wine/support/Files.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/OpenFileDialog.h"
#include "tests/wine/support/Waiting.h"

namespace reflasher::e2e {
namespace {

using FileMode = DialogFixture;

TEST_F(FileMode, AsksForAFileThenSendsTheOneChosenWithBrowse) {
    const std::vector<unsigned char> image = ChosenFirmwareImage();
    ASSERT_NE(image, SyntheticImage()) << "the chosen file must differ from the embedded image";
    const std::wstring chosen = WriteChosenFirmware(env.workFolder, image);
    ASSERT_NE(chosen, L"");
    SimulatedEmbosser& embosser = AddEmbosser({}, L"main");
    ASSERT_FALSE(HasFailure());
    StartProgram(env.fileModeProgram);
    ASSERT_TRUE(dialog.Visible());

    // File mode: the file controls, no notice.
    for (int id : {IDC_BROWSE, IDC_FILE_PATH, IDC_OPEN_FILE_GROUP}) {
        EXPECT_TRUE(dialog.ControlVisible(id)) << "control " << id;
        EXPECT_TRUE(dialog.ControlEnabled(id)) << "control " << id;
    }
    EXPECT_FALSE(dialog.ControlVisible(IDC_FIRMWARE_NOTICE));
    EXPECT_FALSE(dialog.ControlEnabled(IDC_FIRMWARE_NOTICE));
    EXPECT_EQ(Printable(dialog.ControlText(IDC_FILE_PATH)), Printable(expected::kBrowseHint));
    EXPECT_EQ(Printable(dialog.ComboLines()),
              Printable(std::vector<std::wstring>{L"Dovrex Embosser on USB001"}));

    StartRecording();
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ExpectMessageAndAnswer(expected::kErrorCaption, expected::kNoFileChosen, kProgramStartMs);
    EXPECT_EQ(embosser.JobCount(), 0);

    ASSERT_TRUE(dialog.ClickButton(IDC_BROWSE));
    const OpenDialogSeen browse = WaitForOpenDialog(program.ProcessId(), kProgramStartMs);
    ASSERT_NE(browse.window, nullptr) << "no file dialog";
    EXPECT_EQ(browse.owner, dialog.Window());
    EXPECT_EQ(Printable(browse.fileNameText), "*.hex");
    EXPECT_EQ(Printable(browse.fileTypes),
              Printable(std::vector<std::wstring>{L"Hex Files (*.hex)", L"All Files (*.*)"}));
    EXPECT_EQ(browse.fileTypeSelected, 0);
    ASSERT_TRUE(ChooseFile(browse, chosen, kBoxCloseMs))
        << "the file dialog didn't take " << Printable(chosen);
    EXPECT_TRUE(WaitUntil([&] { return dialog.ControlText(IDC_FILE_PATH) == chosen; }, kBoxCloseMs))
        << "1004 shows \"" << Printable(dialog.ControlText(IDC_FILE_PATH)) << "\"";
    EXPECT_EQ(dialog.ProgressPos(), 0);

    // The download that stopped half way: header, two records and part of a third.
    const std::size_t intoLineFour = 50 + 2 * 80 + 40;
    ASSERT_TRUE(WriteFileBytes(chosen, std::vector<unsigned char>(image.begin(), image.begin() + intoLineFour)));
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    ExpectMessageAndAnswer(expected::kErrorCaption, expected::kCutOffFile, kBoxCloseMs);
    ExpectOnlyTheDialogFor(kNothingHappensMs);
    EXPECT_EQ(embosser.JobCount(), 0) << "a refused file started a run";

    // Browse refuses a file that isn't firmware at once and keeps the chosen one.
    const std::wstring intelHex = chosen.substr(0, chosen.rfind(L'\\')) + L"\\Dovrex (Intel HEX).hex";
    const std::string intelText = ":10000000000102030405060708090A0B0C0D0E0F78\r\n:00000001FF\r\n";
    ASSERT_TRUE(WriteFileBytes(intelHex, std::vector<unsigned char>(intelText.begin(), intelText.end())));
    ASSERT_TRUE(dialog.ClickButton(IDC_BROWSE));
    const OpenDialogSeen wrong = WaitForOpenDialog(program.ProcessId(), kProgramStartMs);
    ASSERT_NE(wrong.window, nullptr) << "no file dialog";
    ASSERT_TRUE(ChooseFile(wrong, intelHex, kBoxCloseMs));
    ExpectMessageAndAnswer(expected::kErrorCaption, expected::kNotRecordsFile, kBoxCloseMs);
    EXPECT_EQ(Printable(dialog.ControlText(IDC_FILE_PATH)), Printable(chosen));

    ASSERT_TRUE(WriteFileBytes(chosen, image));
    ASSERT_TRUE(dialog.ClickButton(IDC_START_DOWNLOAD));
    // The bytes checked at Start are the ones sent: firmware the embosser would take
    // just as well, written over the file after Start, must not reach it.
    ASSERT_TRUE(recorder->WaitForStatusLine(expected::kNegotiating, kWholeRunMs));
    ASSERT_TRUE(WriteFileBytes(chosen, SyntheticImage())) << "the run holds the file";
    const auto result = WaitForMessageBox(kWholeRunMs);
    ASSERT_TRUE(result.has_value()) << "no result message";
    EXPECT_EQ(Printable(result->text), Printable(expected::kSuccess));
    EXPECT_EQ(Printable(result->caption), Printable(expected::kInfoCaption));
    ASSERT_TRUE(Answer(*result));
    EXPECT_TRUE(recorder->WaitForBarPosition(0, kBoxCloseMs));
    recorder->Stop();

    EXPECT_EQ(Printable(recorder->StatusLines()), Printable(SuccessfulRunStatusLines()));
    EXPECT_TRUE(IsSuccessfulRunBar(recorder->BarPositions()));
    EXPECT_TRUE(ReceivedServiceJobThenImage(embosser, image));
    EXPECT_EQ(Printable(dialog.ControlText(IDC_FILE_PATH)), Printable(chosen));
    ExpectExitEndsProgram();
}

}  // namespace
}  // namespace reflasher::e2e

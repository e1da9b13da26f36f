// demo-pilot.exe: starts Reflasher.exe for `make demo` and tells on the console
// what its dialog shows: each status line and bar position as it changes, and
// every message. With --press-start it also plays the user (headless demo):
// presses Start Download, takes screenshots mid-run and of the final message,
// closes the message and leaves through Exit.
//   demo-pilot --program <Reflasher.exe> [--press-start] [--shots <folder>]
// Paths may be Unix paths. Exit code 0 when the run ended in the success message.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/wine/support/DialogRecorder.h"
#include "tests/wine/support/ReflasherProgram.h"
#include "tests/wine/support/Screenshots.h"
#include "tests/wine/support/Waiting.h"
#include "tests/wine/support/Windows.h"

using namespace reflasher::e2e;

namespace {

constexpr unsigned kStartMs = 60000;
constexpr unsigned kRunMs = 180000;
constexpr unsigned kCloseMs = 10000;
const wchar_t kSuccess[] =
    L"The Flash upgrade was successful.\nPlease turn the printer off and on again,\n"
    L"and close this application before\nresuming printing.";

struct PilotOptions {
    std::wstring program;
    std::wstring shots;
    bool pressStart = false;
};

bool Parse(int argc, wchar_t** argv, PilotOptions* options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--press-start") {
            options->pressStart = true;
        } else if (option == L"--program" && i + 1 < argc) {
            options->program = argv[++i];
        } else if (option == L"--shots" && i + 1 < argc) {
            options->shots = argv[++i];
        } else {
            return false;
        }
    }
    return !options->program.empty();
}

// A message's lines as the user reads them, indented under its caption.
std::string Indented(const std::wstring& text) {
    std::string out = "    ";
    for (char c : Printable(text)) out += c;
    std::string lines;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out.compare(i, 2, "\\n") == 0) {
            lines += "\n    ";
            ++i;
        } else {
            lines += out[i];
        }
    }
    return lines;
}

void Tell(const Observation& seen) {
    const double at = static_cast<double>(seen.atMs) / 1000.0;
    switch (seen.kind) {
        case Observation::Kind::StatusLine:
            std::printf("%6.1f s  status line: \"%s\"\n", at, Printable(seen.text).c_str());
            break;
        case Observation::Kind::BarPosition:
            std::printf("%6.1f s  progress bar: %d\n", at, seen.position);
            break;
        case Observation::Kind::MessageBoxShown:
            std::printf("%6.1f s  message box:\n%s\n", at, Indented(seen.text).c_str());
            break;
        case Observation::Kind::MessageBoxGone:
            std::printf("%6.1f s  message box closed\n", at);
            break;
    }
    std::fflush(stdout);
}

void Shoot(const PilotOptions& options, const wchar_t* name) {
    if (options.shots.empty()) return;
    const std::wstring picture = TakeScreenshot(options.shots, name, 20000);
    std::printf("          screenshot: %s\n",
                picture.empty() ? "(failed)" : Printable(picture).c_str());
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    PilotOptions options;
    if (!Parse(argc, argv, &options)) {
        std::fprintf(
            stderr,
            "usage: demo-pilot --program <Reflasher.exe> [--press-start] [--shots <folder>]\n");
        return 2;
    }
    ReflasherProgram program;
    const std::string error = program.Start(options.program);
    if (!error.empty()) {
        std::fprintf(stderr, "demo-pilot: can't start %s: %s\n", Printable(options.program).c_str(),
                     error.c_str());
        return 1;
    }
    const RemoteDialog dialog = program.WaitForVisibleDialog(kStartMs);
    if (!dialog.Visible()) {
        std::fprintf(stderr, "demo-pilot: the dialog did not appear\n");
        return 1;
    }
    std::printf("dialog \"%s\" on screen; printers:\n", Printable(dialog.Caption()).c_str());
    for (const std::wstring& line : dialog.ComboLines())
        std::printf("    %s\n", Printable(line).c_str());
    std::fflush(stdout);

    DialogRecorder recorder(dialog, program.ProcessId(), &Tell);
    if (!options.pressStart) {
        std::printf("press Start Download in the window; close it to end the demo\n");
        std::fflush(stdout);
        program.WaitForExit(INFINITE);
        return 0;
    }

    std::printf("pressing Start Download\n");
    std::fflush(stdout);
    dialog.ClickButton(IDC_START_DOWNLOAD);
    if (recorder.WaitForStatusLine(L"writing flash", kRunMs)) Shoot(options, L"mid-run");

    MessageBoxSeen result;
    const bool ended = WaitUntil(
        [&] {
            const auto boxes = VisibleMessageBoxes(program.ProcessId());
            if (!boxes.empty()) result = boxes.front();
            return !boxes.empty() || !program.Running();
        },
        kRunMs);
    if (!ended || result.window == nullptr) {
        std::fprintf(stderr, "demo-pilot: the run showed no result\n");
        return 1;
    }
    Sleep(500);  // the message drawn before the picture is taken
    Shoot(options, L"final");
    std::printf("closing the message\n");
    std::fflush(stdout);
    AnswerMessageBox(result.window, kCloseMs);
    WaitUntil([&] { return dialog.ProgressPos() == 0; }, kCloseMs);
    Sleep(300);  // the worker clears the busy flag right after the bar's last move
    recorder.Stop();
    std::printf("leaving through Exit\n");
    std::fflush(stdout);
    dialog.PostCommand(IDC_EXIT);
    program.WaitForExit(kCloseMs);
    return result.text == kSuccess ? 0 : 1;
}

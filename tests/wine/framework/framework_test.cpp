// The framework layer under Wine: modal runs and their endings, message-map
// dispatch and default handling, data exchange, the control wrappers, the file
// dialog's parameters and worker threads.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "win32/Handles.h"
#include "win32/SystemLibrary.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/FileDialog.h"
#include "framework/Thread.h"
#include "sim/win32/wine/HostPaths.h"
#include "tests/wine/framework/TestDialogIds.h"
#include "tests/wine/support/DialogFixture.h"

using namespace dialog_script;

namespace {

constexpr wchar_t kCaption[] = L"Framework Test";

class TestDialog : public CDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr, UINT templateId = IDD_FRAMEWORK_TEST)
        : CDialog(templateId, parent) {}

    std::wstring text = L"initial";
    CComboBox combo;
    CProgressCtrl progress;
    CStatic picture;
    int initCount = 0;
    int pressCount = 0;
    int sysCommandCount = 0;
    bool passSysCommandsOn = true;

protected:
    static const MessageMap* GetThisMessageMap() {
        static const MessageMapEntry entries[] = {
            msgmap::Command<&TestDialog::OnPress>(IDC_TEST_BUTTON, BN_CLICKED),
            msgmap::SysCommand<&TestDialog::OnSysCommand>(),
        };
        static const MessageMap map{CDialog::GetThisMessageMap(), entries, 2};
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

    BOOL OnInitDialog() override {
        ++initCount;
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, IDC_TEST_TEXT, text);
        DDX_Control(dx, IDC_TEST_COMBO, combo);
        DDX_Control(dx, IDC_TEST_PROGRESS, progress);
        DDX_Control(dx, IDC_TEST_PICTURE, picture);
    }

private:
    void OnPress() { ++pressCount; }
    void OnSysCommand(UINT, LPARAM) {
        ++sysCommandCount;
        if (passSysCommandsOn) Default();
    }
};

class FrameworkDialogTest : public reflasher::e2e::DialogFixture {
protected:
    FrameworkDialogTest() { modalCaption = kCaption; }
};

TEST_F(FrameworkDialogTest, InitialExchangeFillsTheControlsAndOkReadsThemBack) {
    TestDialog dialog;
    std::wstring shown;
    const INT_PTR result = Run(dialog, [&](HWND hwnd) {
        shown = WindowText(GetDlgItem(hwnd, IDC_TEST_TEXT));
        SendMessageW(GetDlgItem(hwnd, IDC_TEST_TEXT), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(L"typed by the user"));
        PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
        WaitForWindowGone(hwnd);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.initCount, 1);
    EXPECT_EQ(shown, L"initial");
    EXPECT_EQ(dialog.text, L"typed by the user");
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

// Each way of cancelling ends the run with IDCANCEL and doesn't read the controls back.
TEST_F(FrameworkDialogTest, EveryCancelPathEndsWithCancelAndNoExchange) {
    struct Path {
        const char* name;
        std::function<void(HWND)> act;
    };
    const Path paths[] = {
        {"Cancel command", [](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); }},
        {"close box (WM_CLOSE)", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }},
        {"Close on the system menu", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Escape", [](HWND d) { PostKey(GetDlgItem(d, IDC_TEST_TEXT), VK_ESCAPE); }},
        {"Alt+F4", [](HWND d) { PostKey(d, VK_F4, true); }},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        TestDialog dialog;
        const INT_PTR result = Run(dialog, [&](HWND hwnd) {
            SendMessageW(GetDlgItem(hwnd, IDC_TEST_TEXT), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(L"not saved"));
            path.act(hwnd);
            WaitForWindowGone(hwnd);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(dialog.text, L"initial");
    }
}

TEST_F(FrameworkDialogTest, EnterOutsideAButtonIsOk) {
    TestDialog dialog;
    const INT_PTR result = Run(dialog, [&](HWND hwnd) {
        PostKey(GetDlgItem(hwnd, IDC_TEST_TEXT), VK_RETURN);
        WaitForWindowGone(hwnd);
    });
    EXPECT_EQ(result, IDOK);
}

TEST_F(FrameworkDialogTest, DestroyingTheWindowEndsTheRunWithNoResultAndFreesTheOwner) {
    const HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE, 100, 100,
                                       400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    CWnd ownerWnd;
    ownerWnd.Bind(owner);
    TestDialog dialog(&ownerWnd);
    bool ownerDisabledDuringRun = false;
    const INT_PTR result = Run(dialog, [&](HWND hwnd) {
        ownerDisabledDuringRun = !IsWindowEnabled(owner);
        dialogThread_.Run([hwnd] { DestroyWindow(hwnd); });
    });
    EXPECT_EQ(result, CDialog::kNoResult);
    EXPECT_TRUE(ownerDisabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

TEST_F(FrameworkDialogTest, ADialogWithAnOwnerOpensCentredOnIt) {
    const HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE, 40, 60,
                                       700, 500, nullptr, nullptr, nullptr, nullptr);
    CWnd ownerWnd;
    ownerWnd.Bind(owner);
    TestDialog dialog(&ownerWnd);
    RECT dialogRect{};
    Run(dialog, [&](HWND hwnd) { GetWindowRect(hwnd, &dialogRect); });
    EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, 40 + 700 / 2, 1);
    EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, 60 + 500 / 2, 1);
    DestroyWindow(owner);
}

TEST_F(FrameworkDialogTest, AMissingTemplateIsReportedAsNotCreated) {
    TestDialog dialog(nullptr, IDD_MISSING);
    EXPECT_EQ(dialog.DoModal(), CDialog::kCreateFailed);
    EXPECT_EQ(dialog.initCount, 0);
}

TEST_F(FrameworkDialogTest, MappedNotificationsReachTheirHandlerAndTheRunGoesOn) {
    TestDialog dialog;
    bool openAfterPress = false;
    Run(dialog, [&](HWND hwnd) {
        RemoteDialog(hwnd).PostCommand(IDC_TEST_BUTTON);
        RemoteDialog(hwnd).PostCommand(IDC_TEST_BUTTON);
        // Other notifications of the same button are not the mapped one.
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_SETFOCUS), 0);
        dialogThread_.Sync();
        openAfterPress = IsWindow(hwnd) != FALSE;
    });
    EXPECT_EQ(dialog.pressCount, 2);
    EXPECT_TRUE(openAfterPress);
}

// A handler decides whether the dialog manager's own handling follows: calling
// Default() lets Close through, not calling it swallows the command.
TEST_F(FrameworkDialogTest, AHandlerWithoutDefaultSwallowsTheMessage) {
    TestDialog dialog;
    dialog.passSysCommandsOn = false;
    bool openAfterClose = false;
    const INT_PTR result = Run(dialog, [&](HWND hwnd) {
        PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        dialogThread_.Sync();
        openAfterClose = IsWindow(hwnd) != FALSE;
        dialogThread_.Run([&] { dialog.passSysCommandsOn = true; });
        PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        WaitForWindowGone(hwnd);
    });
    EXPECT_TRUE(openAfterClose);
    EXPECT_EQ(dialog.sysCommandCount, 2);
    EXPECT_EQ(result, IDCANCEL);
}

// The bitmaps handed to the picture control, deleted when the test ends.
struct BitmapTraits : reflasher::NullIsInvalid<HBITMAP> {
    static void Close(Handle h) { DeleteObject(h); }
};
using TestBitmap = reflasher::UniqueHandle<BitmapTraits>;

TEST_F(FrameworkDialogTest, ControlWrappersDriveTheirControls) {
    TestDialog dialog;
    int count = 0, selected = -2, afterSelect = -2, addedAt = -2;
    LRESULT upper = 0, lower = -1, position = -1;
    int previousPosition = -1;
    HBITMAP firstBack = reinterpret_cast<HBITMAP>(1), secondBack = nullptr;
    TestBitmap first(CreateBitmap(4, 4, 1, 32, nullptr));
    TestBitmap second(CreateBitmap(4, 4, 1, 32, nullptr));
    Run(dialog, [&](HWND) {
        dialog.combo.AddString(L"zero");
        addedAt = dialog.combo.AddString(L"one");
        count = dialog.combo.GetCount();
        selected = dialog.combo.GetCurSel();
        dialog.combo.SetCurSel(1);
        afterSelect = dialog.combo.GetCurSel();

        dialog.progress.SetRange(0, 100);
        PBRANGE range{};
        upper = dialog.progress.SendMessageTo(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        lower = range.iLow;
        dialog.progress.SetPos(40);
        previousPosition = dialog.progress.SetPos(70);
        position = dialog.progress.SendMessageTo(PBM_GETPOS);

        firstBack = dialog.picture.SetBitmap(first.get());
        secondBack = dialog.picture.SetBitmap(second.get());
        dialog.picture.SetBitmap(nullptr);
    });
    EXPECT_EQ(addedAt, 1);  // not sorted: in the order added
    EXPECT_EQ(count, 2);
    EXPECT_EQ(selected, CB_ERR);
    EXPECT_EQ(afterSelect, 1);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 100);
    EXPECT_EQ(previousPosition, 40);
    EXPECT_EQ(position, 70);
    EXPECT_EQ(firstBack, nullptr);
    EXPECT_EQ(secondBack, first.get());
}

// --- message maps without windows ---

INT_PTR Invoke(CDialog&, WPARAM, LPARAM) { return 0; }

TEST(MessageMapTest, LookupMatchesCommandsByIdAndCodeAndPrefersTheDerivedMap) {
    const MessageMapEntry base[] = {
        {WM_COMMAND, IDOK, BN_CLICKED, &Invoke},
        {WM_COMMAND, IDCANCEL, BN_CLICKED, &Invoke},
        {WM_PAINT, 0, 0, &Invoke},
    };
    const MessageMapEntry derived[] = {
        {WM_COMMAND, 1003, BN_CLICKED, &Invoke},
        {WM_COMMAND, 1014, CBN_SELCHANGE, &Invoke},
        {WM_COMMAND, IDOK, BN_CLICKED, &Invoke},
        {WM_SYSCOMMAND, 0, 0, &Invoke},
    };
    const MessageMap baseMap{nullptr, base, 3};
    const MessageMap derivedMap{&baseMap, derived, 4};

    struct Case {
        UINT message;
        WPARAM wParam;
        const MessageMapEntry* expected;
    };
    const Case cases[] = {
        {WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), &derived[0]},
        {WM_COMMAND, MAKEWPARAM(1003, BN_SETFOCUS), nullptr},  // same control, other code
        {WM_COMMAND, MAKEWPARAM(1014, CBN_SELCHANGE), &derived[1]},
        {WM_COMMAND, MAKEWPARAM(1014, BN_CLICKED), nullptr},
        {WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), &derived[2]},  // the derived map first
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), &base[1]},  // then the base's
        {WM_SYSCOMMAND, SC_CLOSE, &derived[3]},                    // wParam is no key here
        {WM_PAINT, 0, &base[2]},
        {WM_DRAWITEM, 1015, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "message " << c.message << " wParam " << c.wParam);
        EXPECT_EQ(derivedMap.Find(c.message, c.wParam), c.expected);
    }
}

// --- file dialog parameters ---

TEST(FileDialogTest, BarSeparatedFiltersBecomeZeroSeparatedListsEndingInTwoZeros) {
    struct Case {
        const wchar_t* bars;
        std::wstring expected;  // without the string's own terminator
    };
    using namespace std::string_literals;
    const Case cases[] = {
        {L"Hex Files (*.hex)|*.hex|All Files (*.*)|*.*||",
         L"Hex Files (*.hex)\0*.hex\0All Files (*.*)\0*.*\0\0"s},
        {L"Text|*.txt", L"Text\0*.txt\0"s},  // unterminated: one zero is added
        {L"Text|*.txt|", L"Text\0*.txt\0"s},
        {L"", L""s},
        {nullptr, L""s},
    };
    for (const Case& c : cases) {
        const std::wstring filter = CFileDialog::ZeroSeparatedFilter(c.bars);
        EXPECT_EQ(filter, c.expected);
        if (!filter.empty()) {
            // What the dialog reads: the content and c_str's terminator end in two zeros.
            EXPECT_EQ(filter.c_str()[filter.size()], L'\0');
            EXPECT_EQ(filter.back(), L'\0');
        }
    }
}

TEST(FileDialogTest, ParametersCarryExtensionInitialNameFlagsFilterAndOwner) {
    CWnd owner;
    owner.Bind(reinterpret_cast<HWND>(0x1234));
    CFileDialog chooser(L"hex", L"*.hex", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                        L"Hex Files (*.hex)|*.hex|All Files (*.*)|*.*||", &owner);
    const OPENFILENAMEW& ofn = chooser.Parameters();
    EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(ofn.hwndOwner, reinterpret_cast<HWND>(0x1234));
    // The current folder stays where it was.
    EXPECT_EQ(ofn.Flags, static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER |
                                            OFN_NOCHANGEDIR));
    EXPECT_STREQ(ofn.lpstrDefExt, L"hex");
    EXPECT_STREQ(ofn.lpstrFile, L"*.hex");
    EXPECT_GE(ofn.nMaxFile, 32768u);  // long paths fit
    EXPECT_EQ(ofn.nFilterIndex, 1u);  // the hex files are selected
    EXPECT_STREQ(ofn.lpstrFilter, L"Hex Files (*.hex)");
    EXPECT_EQ(chooser.GetPathName(), L"*.hex");
}

// --- DLLs from the system folder only ---

TEST(SystemLibraryTest, FindsSystemFunctionsAndFailsQuietlyWithoutThem) {
    const reflasher::SystemLibrary comdlg32(L"comdlg32.dll");
    ASSERT_TRUE(comdlg32.Loaded());
    EXPECT_NE(REFLASHER_SYSTEM_FUNCTION(comdlg32, GetOpenFileNameW), nullptr);
    EXPECT_EQ(comdlg32.Find<void (*)()>("NoSuchFunction"), nullptr);
    const reflasher::SystemLibrary missing(L"reflasher-no-such.dll");
    EXPECT_FALSE(missing.Loaded());
    EXPECT_EQ(missing.Find<void (*)()>("Anything"), nullptr);
}

TEST(SystemLibraryTest, NeverLoadsACopyBesideTheProgram) {
    const std::wstring marker = reflasher::wineprefix::WinePathOf(
        reflasher::wineprefix::EnvironmentValue(L"REFLASHER_PLANTED_MARKER"));
    ASSERT_FALSE(marker.empty()) << "REFLASHER_PLANTED_MARKER is not set: run through CTest";
    wchar_t exe[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::wstring planted(exe, length);
    planted.erase(planted.find_last_of(L'\\') + 1).append(L"reflasher-planted.dll");
    ASSERT_TRUE(CopyFileW(marker.c_str(), planted.c_str(), FALSE));

    EXPECT_FALSE(reflasher::SystemLibrary(L"reflasher-planted.dll").Loaded());
    EXPECT_EQ(GetModuleHandleW(L"reflasher-planted.dll"), nullptr);
    // The copy itself would load: the plain search looks beside the program first.
    const HMODULE plain = LoadLibraryW(L"reflasher-planted.dll");
    EXPECT_NE(plain, nullptr);
    if (plain != nullptr) FreeLibrary(plain);
    DeleteFileW(planted.c_str());
}

// --- threads ---

struct ThreadProbe {
    void* seen = nullptr;
    int priority = -100;
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~ThreadProbe() { CloseHandle(done); }
};

unsigned __stdcall Probe(void* parameter) {
    auto* probe = static_cast<ThreadProbe*>(parameter);
    probe->seen = parameter;
    probe->priority = GetThreadPriority(GetCurrentThread());
    SetEvent(probe->done);
    return 0;
}

TEST(ThreadTest, WorkerRunsWithItsParameterAtTheAskedPriority) {
    for (int priority : {THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_BELOW_NORMAL}) {
        ThreadProbe probe;
        ASSERT_TRUE(BeginDetachedThread(&Probe, &probe, priority));
        ASSERT_EQ(WaitForSingleObject(probe.done, 10000), WAIT_OBJECT_0);
        EXPECT_EQ(probe.seen, &probe);
        EXPECT_EQ(probe.priority, priority);
    }
}

TEST(ThreadTest, OwnedThreadRunsAtTheAskedPriorityAndItsHandleSignalsItsEnd) {
    ThreadProbe probe;
    const reflasher::UniqueKernelHandle thread =
        BeginOwnedThread(&Probe, &probe, THREAD_PRIORITY_BELOW_NORMAL);
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(probe.seen, &probe);
    EXPECT_EQ(probe.priority, THREAD_PRIORITY_BELOW_NORMAL);
}

}  // namespace

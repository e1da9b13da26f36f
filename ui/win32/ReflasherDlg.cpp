#include "ui/win32/ReflasherDlg.h"

#include <iterator>
#include <utility>

#include "app/AboutDlg.h"
#include "framework/FileDialog.h"
#include "framework/WinApp.h"
#include "resources/resource.h"
#include "texts/ProgramTexts.h"
#include "ui/DownloadInProgress.h"
#include "ui/win32/FirmwareNotice.h"
#include "ui/win32/Win32Gdi.h"
#include "ui/win32/WindowDpi.h"
#include "ui/win32/WorkerDialogLink.h"
#include "ui/IconPosition.h"
#include "ui/LogoDrawing.h"
#include "update/FirmwareFileOutcome.h"
#include "update/RunMessages.h"
#include "update/UpdateThreadProc.h"

namespace texts = reflasher::texts;

namespace {

// How often the dialog looks for a spooler call of the run that hangs, or comes back.
constexpr UINT_PTR kStuckCallTimer = 1;
constexpr UINT kStuckCallCheckMs = 1000;
// How long a box of the run waits for the "not answering" box to go first.
constexpr DWORD kNotAnsweringGoneMs = 5000;

HICON LoadAppIcon(int width = 0, int height = 0) {
    return static_cast<HICON>(LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                         IMAGE_ICON, width, height,
                                         width == 0 ? LR_DEFAULTSIZE : 0));
}

// WM_DPICHANGED, which older headers lack.
constexpr UINT kDpiChanged = 0x02E0;

// The string resource's text, read in place (no buffer to size); empty when absent.
std::wstring LoadResourceString(UINT id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                         : std::wstring();
}

}  // namespace

CReflasherDlg::CReflasherDlg(CWnd* parent) : CReflasherDlg(ProgramServices(), parent) {}

CReflasherDlg::CReflasherDlg(const DialogServices& services, CWnd* parent)
    : CDialog(IDD_REFLASHER_DIALOG, parent),
      services_(services),
      sessionEndBlock_(*this),
      watchTimer_(*this, kStuckCallTimer, kStuckCallCheckMs),
      notAnsweringBox_(*this),
      hold_({*services_.locks, *services_.keepAwake, services_.callWatch, sessionEndBlock_,
             watchTimer_, notAnsweringBox_}) {
    appIcon.Reset(LoadAppIcon());
}

CReflasherDlg::~CReflasherDlg() = default;

const MessageMap* CReflasherDlg::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {
        msgmap::SysCommand<&CReflasherDlg::OnSysCommand>(),
        msgmap::Paint<&CReflasherDlg::OnPaint>(),
        msgmap::QueryDragIcon<&CReflasherDlg::OnQueryDragIcon>(),
        msgmap::Command<&CReflasherDlg::OnBrowse>(IDC_BROWSE, BN_CLICKED),
        msgmap::Command<&CReflasherDlg::OnStartDownload>(IDC_START_DOWNLOAD, BN_CLICKED),
        msgmap::Command<&CReflasherDlg::OnExit>(IDC_EXIT, BN_CLICKED),
        msgmap::Command<&CReflasherDlg::OnPrinterSelChange>(IDC_PRINTER_COMBO, CBN_SELCHANGE),
        msgmap::DrawItem<&CReflasherDlg::OnDrawItem>(),
        msgmap::Message<&CReflasherDlg::OnDestroy>(WM_DESTROY),
        msgmap::Message<&CReflasherDlg::OnQueryEndSession>(WM_QUERYENDSESSION),
        msgmap::Message<&CReflasherDlg::OnDeviceWorkEnded>(kDeviceWorkEnded),
        msgmap::Message<&CReflasherDlg::OnSetStatusLine>(kSetStatusLine),
        msgmap::Message<&CReflasherDlg::OnRunMessageComing>(kRunMessageComing),
        msgmap::Message<&CReflasherDlg::OnRunEnded>(kRunEnded),
        msgmap::Message<&CReflasherDlg::OnTaskbarButtonCreated>(TaskbarButton::CreatedMessage()),
        msgmap::Message<&CReflasherDlg::OnDpiChanged>(kDpiChanged),
        msgmap::Message<&CReflasherDlg::OnTimer>(WM_TIMER),
        msgmap::Message<&CReflasherDlg::OnSystemColoursChanged>(WM_SYSCOLORCHANGE),
        msgmap::Message<&CReflasherDlg::OnSystemColoursChanged>(WM_SETTINGCHANGE),
    };
    static const MessageMap map{CDialog::GetThisMessageMap(), entries,
                                sizeof entries / sizeof entries[0]};
    return &map;
}

const MessageMap* CReflasherDlg::GetMessageMap() const { return GetThisMessageMap(); }

void CReflasherDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FILE_PATH, filePathLabel);
    DDX_Control(dx, IDC_PROGRESS, progressBar);
    DDX_Control(dx, IDC_BUSY_PICTURE, busyPicture);
    DDX_Text(dx, IDC_STATUS_LINE, statusText);
    DDX_Control(dx, IDC_PRINTER_COMBO, printerCombo);
}

BOOL CReflasherDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutItem();
    dpi_ = WindowDpi(GetSafeHwnd());
    TakeIconsForDpi();

    downloadInProgress = false;
    firmwarePath.clear();
    fileChosen = false;
    printerChosen = false;
    selectedPrinter.clear();
    selectedPort.clear();

    FillPrinterList();

    reflasher::FirmwareImage image;
    if (services_.embeddedImage->Find(&image)) {
        for (int id : {IDC_BROWSE, IDC_FILE_PATH, IDC_OPEN_FILE_GROUP}) {
            const HWND control = GetDlgItem(id);
            ::ShowWindow(control, SW_HIDE);
            ::EnableWindow(control, FALSE);
        }
        fileChosen = true;
        ShowFirmwareNotice();
    }

    accessibility_.Attach(printerCombo.GetSafeHwnd(), progressBar.GetSafeHwnd(),
                          GetDlgItem(IDC_STATUS_LINE));
    taskbar_.Prepare(GetSafeHwnd(), progressBar.GetSafeHwnd());
    ink_ = SystemPictureInk();
    // Last: the busy animation's thread, for busyPicture.
    busyAnimator_.Start(busyPicture, dpi_, ink_);

    // The dialog manager puts the focus on the first tab stop once this returns;
    // the posted move comes after it, before the user can do anything.
    ::PostMessageW(GetSafeHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(FirstStep())),
                   TRUE);
    return TRUE;
}

int CReflasherDlg::FirstStep() const {
    // Where the user has something to do, and hears so: "Browse ...", or the list
    // ("Choose printer from list", or "No printers available", which is why Start
    // would do nothing), else the button that starts the update.
    if (!fileChosen) return IDC_BROWSE;
    if (!printerChosen) return IDC_PRINTER_COMBO;
    return IDC_START_DOWNLOAD;
}

void CReflasherDlg::FocusOn(int id) {
    // Not from under a modal window of ours (the About box): it keeps the keyboard.
    if (!::IsWindowEnabled(GetSafeHwnd())) return;
    // As Tab moves it: the default-button look and an edit's selection follow.
    SendMessageTo(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(id)), TRUE);
}

LRESULT CReflasherDlg::OnSystemColoursChanged(WPARAM, LPARAM) {
    // High contrast turned on or off, or another theme: the pictures follow it.
    const std::optional<reflasher::PictureInk> ink = SystemPictureInk();
    if (ink != ink_) {
        ink_ = ink;
        busyAnimator_.SetInk(ink_);
        InvalidateRect(GetDlgItem(IDC_LOGO), nullptr, TRUE);
    }
    Default();
    return 0;
}

void CReflasherDlg::TakeIconsForDpi() {
    // The new icons are set before the old ones go, so the window never holds a freed one.
    reflasher::UniqueIcon large(LoadAppIcon(SystemMetricForDpi(SM_CXICON, dpi_),
                                            SystemMetricForDpi(SM_CYICON, dpi_)));
    reflasher::UniqueIcon small(LoadAppIcon(SystemMetricForDpi(SM_CXSMICON, dpi_),
                                            SystemMetricForDpi(SM_CYSMICON, dpi_)));
    if (large) std::swap(appIcon, large);
    if (small) std::swap(smallIcon_, small);
    SetIcon(appIcon.get(), true);
    SetIcon(smallIcon_ ? smallIcon_.get() : appIcon.get(), false);
    // The old icons go here, after the window has let go of them.
}

LRESULT CReflasherDlg::OnDpiChanged(WPARAM dpi, LPARAM suggested) {
    // The dialog manager scales the template's layout and fonts itself (per-monitor
    // v2); the pictures and icons are ours to follow, and the window takes the
    // rectangle Windows suggests, which keeps it under the pointer while it moves.
    Default();
    dpi_ = LOWORD(dpi) != 0 ? LOWORD(dpi) : WindowDpi(GetSafeHwnd());
    const RECT* rect = reinterpret_cast<const RECT*>(suggested);
    if (rect != nullptr) {
        SetWindowPos(GetSafeHwnd(), nullptr, rect->left, rect->top, rect->right - rect->left,
                     rect->bottom - rect->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    TakeIconsForDpi();
    busyAnimator_.SetDpi(dpi_);
    InvalidateRect(GetDlgItem(IDC_LOGO), nullptr, TRUE);
    return 0;
}

void CReflasherDlg::AddAboutItem() {
    const HMENU systemMenu = GetSystemMenu();
    if (systemMenu == nullptr) return;
    const std::wstring about = LoadResourceString(IDS_ABOUTBOX);
    if (about.empty()) return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
}

void CReflasherDlg::ShowFirmwareNotice() {
    CWnd notice;
    notice.Bind(GetDlgItem(IDC_FIRMWARE_NOTICE));
    notice.SetText(FirmwareNotice());
    notice.Show(SW_SHOW);
    notice.Enable(true);
}

void CReflasherDlg::FillPrinterList() {
    const reflasher::Discovery found =
        reflasher::DiscoverEmbossers(*services_.spooler, *services_.allocator);
    printerList_ = reflasher::LayOutPrinterList(found);
    if (printerList_.fill) {
        for (const std::wstring& line : printerList_.lines) printerCombo.AddString(line);
        printerCombo.SetCurSel(0);
        for (const reflasher::PrinterInfo& embosser : found.embossers) {
            printerNames.push_back(embosser.printerName);
            printerPorts.push_back(embosser.portName);
        }
        if (printerList_.chooseOnlyEmbosser) ChoosePrinter(0);
    }
    if (!printerList_.message.empty()) ShowError(printerList_.message.c_str());
}

void CReflasherDlg::ChoosePrinter(std::size_t index) {
    selectedPrinter = *std::next(printerNames.begin(), static_cast<std::ptrdiff_t>(index));
    selectedPort = *std::next(printerPorts.begin(), static_cast<std::ptrdiff_t>(index));
    printerChosen = true;
}

bool CReflasherDlg::RefuseWhileBusy() {
    if (!downloadInProgress) return false;
    ShowError(texts::kBusy);
    return true;
}

bool CReflasherDlg::RefuseLeavingWhileBusy() {
    // The stuck thread goes with the process; the embosser's lock with it.
    return !hold_.MayLeaveMidRun() && RefuseWhileBusy();
}

void CReflasherDlg::SetStatusLine(const std::wstring& text) {
    statusText = text;
    SetDlgItemTextW(GetSafeHwnd(), IDC_STATUS_LINE, statusText.c_str());
}

void CReflasherDlg::ShowError(const wchar_t* text) {
    ShowMessageBox(text, texts::kErrorCaption, MB_OK | MB_ICONWARNING);
}

void CReflasherDlg::OnBrowse() {
    if (RefuseWhileBusy()) return;
    CFileDialog chooser(texts::kFirmwareExtension, texts::kFirmwareInitialName,
                        OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, texts::kFirmwareFilter, this);
    // The user hears at once when a file can't be firmware; it is not taken then,
    // and the earlier choice stays.
    if (chooser.DoModal() == IDOK && !RefuseFirmwareFile(chooser.GetPathName())) {
        firmwarePath = chooser.GetPathName();
        filePathLabel.SetText(firmwarePath);
        fileChosen = true;
    }
    progressBar.SetPos(0);
}

bool CReflasherDlg::TakeFirmwareImage(reflasher::FirmwareImage* image) {
    // An embedded image is sent as the build checked it; a chosen file is read
    // again here, since it may have changed since Browse, and what is read is sent.
    return !RefuseFirmware(reflasher::TakeFirmwareImage(*services_.embeddedImage, *services_.files,
                                                        firmwarePath, *services_.allocator),
                           image);
}

bool CReflasherDlg::RefuseFirmwareFile(const std::wstring& path) {
    return RefuseFirmware(
        reflasher::CheckFirmwareFile(*services_.files, path, *services_.allocator), nullptr);
}

bool CReflasherDlg::RefuseFirmware(reflasher::FirmwareFileOutcome outcome,
                                   reflasher::FirmwareImage* image) {
    const std::wstring refusal = reflasher::FirmwareFileRefusalText(outcome);
    if (refusal.empty()) {
        if (image != nullptr) *image = std::move(outcome.bytes);
        return false;
    }
    ShowError(refusal.c_str());
    return true;
}

void CReflasherDlg::OnStartDownload() {
    if (!printerChosen) {
        FocusOn(IDC_PRINTER_COMBO);  // silent, but the user is where the choice is
        return;
    }
    if (!fileChosen) {
        ShowError(texts::kNoFileChosen);
        FocusOn(IDC_BROWSE);
        return;
    }
    if (RefuseWhileBusy()) return;
    accessibility_.RunStarting();
    reflasher::FirmwareImage image;
    if (!TakeFirmwareImage(&image)) return;

    // Another copy of the program may be updating this embosser, through this queue
    // or another one on the same port.
    if (!hold_.BeginRun(selectedPort)) {
        ShowError(texts::kBusy);
        return;
    }

    downloadInProgress = true;
    // All the run needs, built once; the worker owns it and frees it, and the dialog
    // keeps no pointer to it.
    auto argument = std::make_unique<reflasher::UpdateThreadArgument>(
        services_.ForRun(), std::make_unique<WorkerDialogLink>(GetSafeHwnd()), selectedPrinter,
        std::move(image), downloadInProgress);
    if (services_.startThread(&reflasher::UpdateThreadProc, argument.get())) {
        argument.release();
        taskbar_.ShowRun();
    } else {
        // No worker will ever clear the flag, so do it here, or every command would be refused.
        downloadInProgress = false;
        hold_.DeviceWorkEnded();
        ShowError(texts::kWorkerNotStarted);
    }
}

LRESULT CReflasherDlg::OnDeviceWorkEnded(WPARAM, LPARAM) {
    hold_.DeviceWorkEnded();
    return 0;
}

LRESULT CReflasherDlg::OnSetStatusLine(WPARAM, LPARAM text) {
    SetStatusLine(*reinterpret_cast<const std::wstring*>(text));
    return 0;
}

LRESULT CReflasherDlg::OnTimer(WPARAM timer, LPARAM) {
    if (timer != watchTimer_.Id()) {
        Default();
        return 0;
    }
    hold_.Tick();
    return 0;
}

LRESULT CReflasherDlg::OnRunMessageComing(WPARAM error, LPARAM) {
    // The worker is out of its calls: a hung one is back, and the "not answering"
    // box goes before the run's own comes up.
    hold_.Tick();
    notAnsweringBox_.WaitUntilGone(kNotAnsweringGoneMs);
    if (error) taskbar_.ShowError();
    // Windows keeps a box of a program in the background behind the window in front,
    // so the result may wait unseen and unheard: the button flashes until the user
    // comes back.
    const HWND front = GetForegroundWindow();
    const bool ours = front != nullptr && (front == GetSafeHwnd() ||
                                           GetAncestor(front, GA_ROOTOWNER) == GetSafeHwnd());
    if (!ours) {
        FLASHWINFO flash{};
        flash.cbSize = sizeof flash;
        flash.hwnd = GetSafeHwnd();
        flash.dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
        FlashWindowEx(&flash);
    }
    return 0;
}

LRESULT CReflasherDlg::OnRunEnded(WPARAM, LPARAM) {
    // A next run may already be under way (the word is posted after the flag is cleared).
    if (!downloadInProgress) {
        taskbar_.ShowNothing();
        FocusOn(IDC_START_DOWNLOAD);  // ready for the next run
    }
    return 0;
}

LRESULT CReflasherDlg::OnTaskbarButtonCreated(WPARAM, LPARAM) {
    taskbar_.Connect();
    return 0;
}

LRESULT CReflasherDlg::OnQueryEndSession(WPARAM, LPARAM) {
    // Refused at once, with no box of ours: Windows shows the block reason instead.
    // Only while the embosser works: with the result on screen the session may end.
    if (hold_.RefuseSessionEnd()) return FALSE;
    Default();
    return TRUE;
}

void CReflasherDlg::OnExit() {
    if (RefuseLeavingWhileBusy()) return;
    // Ends the modal loop with no OK or Cancel result.
    DestroyWindow();
}

void CReflasherDlg::OnOK() {
    if (RefuseLeavingWhileBusy()) return;
    CDialog::OnOK();
}

void CReflasherDlg::OnCancel() {
    if (RefuseLeavingWhileBusy()) return;
    CDialog::OnCancel();
}

void CReflasherDlg::OnPrinterSelChange() {
    // A prompt line ("Choose printer from list", "No printers available") chooses none.
    const std::optional<std::size_t> embosser =
        reflasher::EmbosserAtLine(printerList_, printerCombo.GetCurSel(), printerNames.size());
    if (embosser) {
        ChoosePrinter(*embosser);
    } else {
        printerChosen = false;
    }
}

void CReflasherDlg::OnSysCommand(UINT command, LPARAM) {
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    Default();  // move, size, close and the rest
}

void CReflasherDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(GetSafeHwnd(), &paint);
    SendMessageTo(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(GetSafeHwnd(), &client);
    const reflasher::IconPoint at = reflasher::IconPosition(
        client.right - client.left, client.bottom - client.top,
        SystemMetricForDpi(SM_CXICON, dpi_), SystemMetricForDpi(SM_CYICON, dpi_));
    DrawIcon(dc, at.x, at.y, appIcon.get());
    EndPaint(GetSafeHwnd(), &paint);
}

HCURSOR CReflasherDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(appIcon.get()); }

void CReflasherDlg::OnDrawItem(int controlId, DRAWITEMSTRUCT* item) {
    if (controlId != IDC_LOGO || item == nullptr) {
        Default();
        return;
    }
    // Whatever the request (whole, focus, selection), the whole logo is drawn again.
    Win32Gdi gdi;
    reflasher::DrawLogo(gdi, Win32Gdi::Wrap(item->hDC), dpi_, ink_);
}

LRESULT CReflasherDlg::OnDestroy(WPARAM, LPARAM) {
    // The controls still exist here and go right after: the animation lets go of
    // busyPicture first, so closing never races with it. The embosser's lock stays
    // while a hung call may still come back: until the process ends.
    hold_.ProcessEnding();
    busyAnimator_.Stop();
    taskbar_.Disconnect();
    accessibility_.Detach();
    Default();
    return 0;
}

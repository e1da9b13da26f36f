// CReflasherDlg: the program's main dialog (template IDD_REFLASHER_DIALOG). It lists the embossers,
// chooses the firmware source, and starts one update run at a time on a worker
// thread, which reaches back to it only through the WorkerDialogLink it is given.
#pragma once

#include <windows.h>

#include <list>
#include <memory>
#include <optional>
#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "win32/Handles.h"
#include "ui/win32/BusyAnimator.h"
#include "ui/win32/ControlAccessibility.h"
#include "ui/win32/DialogServices.h"
#include "ui/win32/DialogTimer.h"
#include "ui/win32/NotAnsweringBox.h"
#include "ui/win32/SessionEndBlock.h"
#include "ui/win32/TaskbarButton.h"
#include "ui/PrinterList.h"
#include "ui/RunHold.h"
#include "update/FirmwareFileOutcome.h"

class CReflasherDlg : public CDialog {
public:
    // The program's dialog: real spooler, pauses and firmware sources.
    explicit CReflasherDlg(CWnd* parent = nullptr);
    CReflasherDlg(const DialogServices& services, CWnd* parent = nullptr);
    ~CReflasherDlg() override;

    // Fills printerCombo and printerNames once, and chooses the printer when there is one.
    void FillPrinterList();

    reflasher::UniqueIcon appIcon;
    CStatic filePathLabel;
    CProgressCtrl progressBar;
    CStatic busyPicture;
    bool printerChosen = false;
    bool fileChosen = false;
    std::wstring selectedPrinter;
    std::wstring firmwarePath;
    std::wstring statusText;
    CComboBox printerCombo;
    std::list<std::wstring> printerNames;
    // The port of each of printerNames, and of selectedPrinter: the embosser itself,
    // which several queues may share.
    std::list<std::wstring> printerPorts;
    std::wstring selectedPort;

    // What screen readers and the taskbar are given (read by the tests).
    const DialogAccessibility& Accessibility() const { return accessibility_; }
    const TaskbarButton& Taskbar() const { return taskbar_; }
    // The DPI the window is drawn for.
    int Dpi() const { return dpi_; }

protected:
    static const MessageMap* GetThisMessageMap();
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // Enter, Escape, the close box, Alt+F4 and Close on the system menu all end up here;
    // during a run they are refused like Exit, since leaving mid-flash can ruin the
    // embosser; while a spooler call of the run hangs, they close the program.
    void OnOK() override;
    void OnCancel() override;

private:
    void OnBrowse();
    void OnStartDownload();
    void OnExit();
    void OnPrinterSelChange();
    void OnSysCommand(UINT command, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnDrawItem(int controlId, DRAWITEMSTRUCT* item);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnQueryEndSession(WPARAM, LPARAM);
    LRESULT OnDeviceWorkEnded(WPARAM, LPARAM);
    LRESULT OnSetStatusLine(WPARAM, LPARAM text);
    LRESULT OnRunMessageComing(WPARAM error, LPARAM);
    LRESULT OnRunEnded(WPARAM, LPARAM);
    LRESULT OnTaskbarButtonCreated(WPARAM, LPARAM);
    LRESULT OnDpiChanged(WPARAM dpi, LPARAM suggested);
    // The icons for dpi_: appIcon at the large icon's size, smallIcon_ at the small one's.
    void TakeIconsForDpi();
    LRESULT OnTimer(WPARAM timer, LPARAM);
    LRESULT OnSystemColoursChanged(WPARAM, LPARAM);
    // The control where the user's next step is once the dialog is open.
    int FirstStep() const;
    // Gives control `id` the keyboard focus the dialog's way (WM_NEXTDLGCTL).
    void FocusOn(int id);

    // Makes the `index`th printer of printerNames the chosen one (selectedPrinter), and
    // the embosser on its port the one the run holds (selectedPort).
    void ChoosePrinter(std::size_t index);
    void AddAboutItem();
    void ShowFirmwareNotice();
    // True (after telling the user) while a run is under way.
    bool RefuseWhileBusy();
    // The same for leaving the program, which a hung spooler call allows.
    bool RefuseLeavingWhileBusy();
    // The status line's text: statusText, then the control (IDC_STATUS_LINE). On the
    // dialog's thread only, the worker's lines too.
    void SetStatusLine(const std::wstring& text);
    // The image the run sends, decided once at Start: the embedded one, or the chosen
    // file's bytes, read and checked; false (after telling the user) when the file
    // can't be opened, read or be firmware.
    bool TakeFirmwareImage(reflasher::FirmwareImage* image);
    // True (after telling the user) when the file at `path` can't be firmware.
    bool RefuseFirmwareFile(const std::wstring& path);
    // The same for a outcome made; a usable image goes to `image`, if given.
    bool RefuseFirmware(reflasher::FirmwareFileOutcome outcome, reflasher::FirmwareImage* image);
    void ShowError(const wchar_t* text);

    DialogServices services_;
    // The printer list as filled, to tell which line stands for which embosser.
    reflasher::PrinterList printerList_;
    BusyAnimator busyAnimator_;
    // What a run holds while the embosser works (the lock, the session's end, the
    // keep-awake request, the watch's timer, the leaving rule), through these parts.
    WindowSessionEndBlock sessionEndBlock_;
    DialogTimer watchTimer_;
    ThreadNotAnsweringBox notAnsweringBox_;
    reflasher::RunHold hold_;
    DialogAccessibility accessibility_;
    TaskbarButton taskbar_;
    // The DPI the window is drawn for, which its pictures and icons follow.
    int dpi_ = 96;
    reflasher::UniqueIcon smallIcon_;
    // The colours the logo and the busy pictures take under high contrast; none
    // without it.
    std::optional<reflasher::PictureInk> ink_;
};

// CReflasherDlg: the program's main dialog (template 102). It lists the embossers,
// chooses the firmware source, and starts one update run at a time on a worker
// thread, which reaches back to it only through the WorkerDialogLink it is given.
#pragma once

#include <windows.h>

#include <list>
#include <memory>
#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "device/win32/Handles.h"
#include "ui/BusyAnimator.h"
#include "ui/ControlAccessibility.h"
#include "ui/DialogServices.h"
#include "ui/SessionEndBlock.h"
#include "update/EmbosserLock.h"

class CReflasherDlg : public CDialog {
public:
    // The program's dialog: real spooler, clock and firmware sources.
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

protected:
    static const MessageMap* GetThisMessageMap();
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // Enter, Escape, the close box, Alt+F4 and Close on the system menu all end up here;
    // during a run they are refused like Exit, since leaving mid-flash can ruin the embosser.
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

    void AddAboutItem();
    void ShowFirmwareNotice();
    // True (after telling the user) while a run is under way.
    bool RefuseWhileBusy();
    // True (after telling the user) when the chosen file can't be opened, read or be firmware.
    bool RefuseUnusableFirmwareFile();
    bool RefuseFirmwareFile(const std::wstring& path);
    void ShowError(const wchar_t* text);
    // Lets go of what a run holds for the device's sake: the session-end block and
    // the embosser's lock.
    void EndDeviceWork();

    static unsigned __stdcall UpdateWorker(void* run);

    DialogServices services_;
    // Held from Start Download until the device's work is over (dialog thread only):
    // while it is, the embosser works.
    std::unique_ptr<reflasher::EmbosserLock> embosserLock_;
    BusyAnimator busyAnimator_;
    SessionEndBlock sessionEndBlock_;
    DialogAccessibility accessibility_;
};

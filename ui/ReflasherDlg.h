// CReflasherDlg: the program's main dialog (template 102). It lists the embossers,
// chooses the firmware source, and starts one update run at a time on a worker
// thread, which reaches back to it through the UpdateDialog interface.
#pragma once

#include <windows.h>

#include <list>
#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "ui/BusyAnimator.h"
#include "ui/ControlAccessibility.h"
#include "ui/DialogServices.h"
#include "ui/SessionEndBlock.h"
#include "update/UpdateDialog.h"
#include "update/UpdateRun.h"

class CReflasherDlg : public CDialog, public reflasher::UpdateDialog {
public:
    // The program's dialog: real spooler, clock and firmware sources.
    explicit CReflasherDlg(CWnd* parent = nullptr);
    CReflasherDlg(const DialogServices& services, CWnd* parent = nullptr);
    ~CReflasherDlg() override;

    // Fills printerCombo and printerNames once, and chooses the printer when there is one.
    void FillPrinterList();

    // UpdateDialog, for the worker thread: every control change is a message sent to
    // the control, which the dialog thread carries out in its modal loop.
    void SetProgressRange(int lower, int upper) override;
    void SetProgressPos(int position) override;
    void SetStatusLine(const std::wstring& text) override;
    void RepaintDialog() override;
    void RepaintProgressBar() override;
    void ShowMessage(const std::wstring& text, const std::wstring& caption,
                     reflasher::MessageIcon icon) override;
    // The choices as they were when the run started, whatever the user picks meanwhile.
    std::wstring SelectedPrinter() const override;
    std::wstring FirmwarePath() const override;

    framework::UniqueIcon appIcon;
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
    LRESULT OnRunEnded(WPARAM, LPARAM);

    void AddAboutItem();
    void ShowFirmwareNotice();
    // True (after telling the user) while a run is under way.
    bool RefuseWhileBusy();
    // True (after telling the user) when the chosen file can't be opened, read or be firmware.
    bool RefuseUnusableFirmwareFile();
    bool RefuseFirmwareFile(const std::wstring& path);
    void ShowError(const wchar_t* text);

    static unsigned __stdcall UpdateWorker(void* dialog);

    DialogServices services_;
    // Taken by OnStartDownload before the worker starts; read only by the worker.
    std::wstring runPrinter_;
    std::wstring runFirmwarePath_;
    reflasher::UpdateContext updateContext_;
    BusyAnimator busyAnimator_;
    SessionEndBlock sessionEndBlock_;
    DialogAccessibility accessibility_;
};

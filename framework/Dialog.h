// CDialog: a modal dialog from a template in the program's resources.
//
// DoModal runs the dialog manager's modal loop (DialogBoxParamW). Messages reach
// the most derived class's message map first, then its bases'. Unmapped
// messages, and mapped ones whose handler calls Default(), get the dialog
// manager's default handling.
//
// There is no hosting of ActiveX controls: none of our templates holds one.
#pragma once

#include <windows.h>

#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "framework/Wnd.h"

class CDialog : public CWnd {
public:
    // DoModal's result when the window was destroyed without EndDialog (e.g. DestroyWindow).
    static constexpr INT_PTR kNoResult = 0;
    // DoModal's result when the dialog could not be created.
    static constexpr INT_PTR kCreateFailed = -1;

    // `parent` null: owned by the application's main window, if there is one other than this.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; IDOK, IDCANCEL, another EndDialog value, kNoResult or kCreateFailed.
    INT_PTR DoModal();

    // One data exchange: from the controls (true) or to them (false).
    void UpdateData(bool saveAndValidate);

protected:
    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const;

    // Runs once before the dialog is first shown: the exchange towards the controls.
    // TRUE lets the dialog manager set the initial focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    // IDOK: exchange back into the members, then end with IDOK.
    virtual void OnOK();
    // IDCANCEL (also Escape and the close box): end with IDCANCEL.
    virtual void OnCancel();

    void EndDialog(INT_PTR result);
    // Inside a handler: also give the message being handled its default handling.
    void Default();

private:
    struct Dispatch;  // the message under way, so Default() knows what to release

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleInitDialog(HWND hwnd);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HWND OwnerWindow() const;

    UINT templateId_;
    CWnd* parent_;
    bool created_ = false;
    bool ended_ = false;
    INT_PTR result_ = kNoResult;
    Dispatch* current_ = nullptr;
};

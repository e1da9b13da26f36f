#include "framework/DataExchange.h"

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    control.Bind(::GetDlgItem(dx->dialog, id));
}

void DDX_Text(CDataExchange* dx, int id, std::wstring& value) {
    CWnd item;
    item.Bind(::GetDlgItem(dx->dialog, id));
    if (dx->saveAndValidate) {
        value = item.GetText();
    } else {
        item.SetText(value);
    }
}

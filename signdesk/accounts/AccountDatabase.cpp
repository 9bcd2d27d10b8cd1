// The per-account stores of the call-record and phone-book siblings, opened
// after a registration and closed before the next one or after log-out.
#include "login/DlgLogin.h"
#include "core/Lookup.h"
#include "support/TraceLog.h"

void CLoginDlg::InitDatabase(CString& account) {
    TRACE_SCOPE("CLoginDlg::InitDatabase");
    if (IUIPCALLRECORD* pCallRecord = GetUIPCALLRECORD())
        pCallRecord->OpenAccountDatabase(account);
    if (IUIPPHONEBOOK* pPhoneBook = GetUIPPHONEBOOK())
        pPhoneBook->OpenAccountDatabase(account);
}

void CLoginDlg::CloseDatabase() {
    TRACE_SCOPE("CLoginDlg::CloseDatabase");
    // A sibling that fails to close must not take the registration response
    // down with it: the failure only goes to the log.
    try {
        if (IUIPCALLRECORD* pCallRecord = GetUIPCALLRECORD())
            pCallRecord->CloseAccountDatabase();
        if (IUIPPHONEBOOK* pPhoneBook = GetUIPPHONEBOOK())
            pPhoneBook->CloseAccountDatabase();
    } catch (...) {
        const int code = static_cast<int>(::GetLastError());
        TRACE_RECORD(TRACE_LEVEL_ERROR, "CLoginDlg::CloseDatabase")(L"Error: %d . ", code);
    }
}

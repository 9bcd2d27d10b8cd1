#include "core/Lookup.h"

#include "core/SIGNDESKComp.h"

namespace {
template <class T> T* QuerySibling(const GUID& iid) {
    IUSBaseList list;
    UIQueryInterface(iid, list, 1);
    return list.empty() ? NULL : dynamic_cast<T*>(list.front());
}
} // namespace

IUIMain* GetUIMain() {
    return QuerySibling<IUIMain>(IID_IUIMain);
}
IUIPSETTING* GetUIPSETTING() {
    return QuerySibling<IUIPSETTING>(IID_IUIPSETTING);
}
IUIPLOGIN* GetUIPLOGIN() {
    return QuerySibling<IUIPLOGIN>(IID_IUIPLOGIN);
}
IUIPCALLRECORD* GetUIPCALLRECORD() {
    return QuerySibling<IUIPCALLRECORD>(IID_IUIPCALLRECORD);
}
IUIPPHONEBOOK* GetUIPPHONEBOOK() {
    return QuerySibling<IUIPPHONEBOOK>(IID_IUIPPHONEBOOK);
}

CString GetLangText(const wchar_t* section, const wchar_t* key) {
    CSIGNDESKComp* pComp = GetInstance();
    return pComp ? pComp->GetLangText(section, key) : CString();
}

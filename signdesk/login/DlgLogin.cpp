// The login panel: creation of its data, the login and logout actions, the
// registration results and the three panel states.
#include "login/DlgLogin.h"

#include "accounts/ConfigUtils.h"
#include "core/CompileCheck.h"
#include "core/DpiScale.h"
#include "core/Lookup.h"
#include "support/TraceLog.h"

#include <SkinMagicU.h>

#include <vector>

IMPLEMENT_DYNAMIC(CLoginDlg, CDialog)

namespace {
const wchar_t kWindowSkin[] = L"LoginDlg";
const wchar_t kFlagOn[] = L"1";
const wchar_t kFlagOff[] = L"0";
// Account box and password field take at most this many characters.
const int kMaxInputChars = 100;
// Multi-user mode moves the login button and its frame up into the room
// the hidden account and password fields leave (pixels at 96 DPI).
const int kMultiUserShiftX = -50;
const int kMultiUserShiftY = -60;

enum ItemAction { ITEMS_SHOW, ITEMS_HIDE, ITEMS_ENABLE, ITEMS_DISABLE, ITEMS_EMPTY_TEXT };

// Applies one action to the panel's controls in order. Returns false at the
// first control that does not exist: the caller's operation ends there.
template <size_t N> bool ApplyToItems(CWnd* pDlg, const int (&ids)[N], ItemAction action) {
    for (size_t i = 0; i < N; ++i) {
        CWnd* pItem = pDlg->GetDlgItem(ids[i]);
        if (!pItem)
            return false;
        switch (action) {
        case ITEMS_SHOW:
            pItem->ShowWindow(SW_SHOW);
            break;
        case ITEMS_HIDE:
            pItem->ShowWindow(SW_HIDE);
            break;
        case ITEMS_ENABLE:
            pItem->EnableWindow(TRUE);
            break;
        case ITEMS_DISABLE:
            pItem->EnableWindow(FALSE);
            break;
        case ITEMS_EMPTY_TEXT:
            pItem->SetWindowText(L"");
            break;
        }
    }
    return true;
}

// The panel's controls in the groups its states and modes act on, each in
// the order the steps take them. First those the skin draws, emptied at
// start-up.
const int kSkinDrawnItems[] = {IDC_LOGIN_PICTURE, IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD,
                               IDC_LOGIN_MARK1,   IDC_LOGIN_MARK2,     IDC_LOGIN_PRODUCT};
// The fields multi-user mode hides: the registration list has the accounts.
const int kSingleUserItems[] = {IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_ACCOUNT,   IDC_LOGIN_LBL_PASSWORD,
                                IDC_LOGIN_PASSWORD,    IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD,
                                IDC_LOGIN_AUTOLOGIN};
// Moved up in multi-user mode.
const int kMultiUserMoved[] = {IDC_LOGIN_GROUP, IDC_LOGIN_BTN_LOGIN};
// Logged in: the login fields go, the strip and the advertising block show.
const int kLoggedInHidden[] = {IDC_LOGIN_ACCOUNT,     IDC_LOGIN_PASSWORD,     IDC_LOGIN_BTN_LOGIN,
                               IDC_LOGIN_BTN_CLEAR,   IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN,
                               IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_LBL_PASSWORD, IDC_LOGIN_GROUP,
                               IDC_LOGIN_BTN_ADVANCED};
const int kLoggedInShown[] = {IDC_LOGIN_PANNEL, IDC_LOGIN_MARK1, IDC_LOGIN_MARK2,
                              IDC_LOGIN_BILL1,  IDC_LOGIN_BILL2, IDC_LOGIN_PRODUCT};
// Logged out: the login fields back, the strip and the block gone.
const int kLoggedOutShown[] = {
    IDC_LOGIN_ACCOUNT,      IDC_LOGIN_PASSWORD,     IDC_LOGIN_BTN_LOGIN,
    IDC_LOGIN_BTN_CLEAR,    IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_LBL_ACCOUNT,
    IDC_LOGIN_LBL_PASSWORD, IDC_LOGIN_GROUP,        IDC_LOGIN_BTN_ADVANCED};
const int kLoggedOutHidden[] = {IDC_LOGIN_BTN_LOGOUT, IDC_LOGIN_PANNEL, IDC_LOGIN_MARK1,
                                IDC_LOGIN_MARK2,      IDC_LOGIN_BILL1,  IDC_LOGIN_BILL2,
                                IDC_LOGIN_PRODUCT};
// The input controls: enabled when logged out, disabled while logging in.
const int kInputItems[] = {IDC_LOGIN_ACCOUNT,   IDC_LOGIN_PASSWORD,     IDC_LOGIN_BTN_LOGIN,
                           IDC_LOGIN_BTN_CLEAR, IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN};
// Logging in: the rest but the status.
const int kLoggingHidden[] = {IDC_LOGIN_BTN_LOGOUT, IDC_LOGIN_BTN_ADVANCED, IDC_LOGIN_PANNEL,
                              IDC_LOGIN_MARK1,      IDC_LOGIN_MARK2,        IDC_LOGIN_BILL1,
                              IDC_LOGIN_BILL2,      IDC_LOGIN_PRODUCT};

// A control and its fixed place, in pixels at 96 DPI.
struct ItemPlace {
    int id;
    RECT rc;
};
// The advertising block and the skinned strip.
const ItemPlace kPlaces[] = {
    {IDC_LOGIN_MARK1, {3, 228, 20, 240}},    {IDC_LOGIN_MARK2, {3, 256, 20, 268}},
    {IDC_LOGIN_BILL1, {32, 230, 320, 255}},  {IDC_LOGIN_BILL2, {32, 255, 320, 278}},
    {IDC_LOGIN_PRODUCT, {4, 280, 327, 327}}, {IDC_LOGIN_PANNEL, {3, 190, 323, 215}},
};

// The information message box every refused input gets.
void ShowInformation(HWND hOwner, const wchar_t* section, const wchar_t* key) {
    MessageBoxExW(hOwner, GetLangText(section, key),
                  GetLangText(L"global", L"IDS_INFO_INFORMATION"), MB_OK | MB_ICONINFORMATION);
}
} // namespace

CLoginDlg::CLoginDlg()
    : CDialog(IDD_LOGIN, NULL), m_bAdvancedShown(0), m_bHideClearCheck(0), m_bBlockLogout(0),
      m_bBlockAutoLogin(0), m_nKeyboardPos(0), m_uiState(UISTATE_LOGGEDOUT), m_bMultiUser(0) {}

CLoginDlg::~CLoginDlg() {
    if (m_dlgAdvanced.GetSafeHwnd())
        m_dlgAdvanced.DestroyWindow();
    if (m_dlgKeyboard.GetSafeHwnd())
        m_dlgKeyboard.DestroyWindow();
    if (m_toolTip.GetSafeHwnd())
        m_toolTip.DestroyWindow();
}

void CLoginDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LOGIN_ACCOUNT, m_cbAccount);
}

BEGIN_MESSAGE_MAP(CLoginDlg, CDialog)
ON_BN_CLICKED(IDC_LOGIN_BTN_LOGIN, OnBnClickedButtonLogin)
ON_BN_CLICKED(IDC_LOGIN_BTN_LOGOUT, OnBnClickedButtonLogout)
ON_BN_CLICKED(IDC_LOGIN_BTN_ADVANCED, OnBnClickedButtonAdvancesetting)
ON_BN_CLICKED(IDC_LOGIN_BTN_CLEAR, OnBnClickedButtonUserclear)
ON_BN_CLICKED(IDC_LOGIN_BTN_KEYBOARD, OnBnClickedButtonSoftkeybroad)
ON_STN_CLICKED(IDC_LOGIN_BILL1, OnClickedBill1)
ON_STN_CLICKED(IDC_LOGIN_BILL2, OnClickedBill2)
ON_COMMAND(IDC_LOGIN_UNIT_NOANSWER, OnBnClickedNoAnser)
ON_COMMAND(IDC_LOGIN_UNIT_MESSAGE, OnBnClickedMessage)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_PANNEL_NOTIFY, OnPannelNotify)
END_MESSAGE_MAP()

BOOL CLoginDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    RemoveSkin(m_hWnd);
    ApplyWindowSkin(m_hWnd, kWindowSkin);
    InitUI();
    return TRUE;
}

// Escape never closes the panel.
void CLoginDlg::OnCancel() {}

// ---------------------------------------------------------------------------
// Initialisation

void CLoginDlg::InitUI() {
    TRACE_SCOPE("CLoginDlg::InitUI");
    if (!m_dlgAdvanced.Create(IDD_ADVANCED, this))
        return;
    InitPannel();

    // The skin draws these: their template texts go (a missing one ends only
    // this step).
    ApplyToItems(this, kSkinDrawnItems, ITEMS_EMPTY_TEXT);

    const CString ini = GetModuleDir() + L"kite.ini";
    SetDlgItemText(IDC_LOGIN_BILL1, GetIniString(L"KiteLogIn", L"BillText1", ini));
    SetDlgItemText(IDC_LOGIN_BILL2, GetIniString(L"KiteLogIn", L"BillText2", ini));

    const CDpiScale dpi(m_hWnd);
    // Not shown yet (the panel is drawn whole when it shows): neither
    // repainting nor erasing after each move.
    const UINT nPlaceFlags = SWP_NOZORDER | SWP_NOACTIVATE |
                             ((GetStyle() & WS_VISIBLE) ? 0 : SWP_NOREDRAW | SWP_DEFERERASE);
    for (size_t i = 0; i < SD_COUNTOF(kPlaces); ++i) {
        CWnd* pItem = GetDlgItem(kPlaces[i].id);
        if (!pItem)
            return;
        const RECT rc = dpi.Scale(kPlaces[i].rc);
        pItem->SetWindowPos(NULL, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                            nPlaceFlags);
    }

    m_dlgAdvanced.ShowWindow(SW_HIDE);
    m_dlgKeyboard.ShowWindow(SW_HIDE);
    m_dlgKeyboard.SetOwnerDlg(this);

    if (CWnd* pPicture = GetDlgItem(IDC_LOGIN_PICTURE))
        ApplyControlSkin(pPicture->m_hWnd, L"LogOut", kWindowSkin);

    if (m_cbAccount.GetSafeHwnd())
        m_cbAccount.LimitText(kMaxInputChars);
    if (CWnd* pPassword = GetDlgItem(IDC_LOGIN_PASSWORD))
        pPassword->SendMessage(EM_LIMITTEXT, kMaxInputChars);

    const CString clearTip = GetLangText(L"Login", L"IDS_LOG_CLEAR");
    CWnd* pClear = GetDlgItem(IDC_LOGIN_BTN_CLEAR);
    if (!pClear)
        return;
    m_toolTip.AddTool(pClear, clearTip);
    const CString keyboardTip = GetLangText(L"Login", L"IDS_LOG_KEYBORD");
    CWnd* pKeyboard = GetDlgItem(IDC_LOGIN_BTN_KEYBOARD);
    if (!pKeyboard)
        return;
    m_toolTip.AddTool(pKeyboard, keyboardTip);

    InitData();
    UpdateUIByLoginState(UISTATE_LOGGEDOUT);

    if (IUIPLOGIN* pLogin = GetUIPLOGIN())
        m_bMultiUser = pLogin->IsMultiUser();

    if (m_bMultiUser) {
        // The registration list supplies the accounts: no fields to fill.
        if (!ApplyToItems(this, kSingleUserItems, ITEMS_HIDE))
            return;
        for (size_t i = 0; i < SD_COUNTOF(kMultiUserMoved); ++i) {
            CWnd* pItem = GetDlgItem(kMultiUserMoved[i]);
            if (!pItem)
                return;
            CRect rc;
            pItem->GetWindowRect(&rc);
            ScreenToClient(&rc);
            rc.OffsetRect(dpi.Scale(kMultiUserShiftX), dpi.Scale(kMultiUserShiftY));
            pItem->MoveWindow(&rc, TRUE);
        }
        return;
    }

    IUIMain* pMain = GetUIMain();
    if (!pMain)
        return;
    CString account, password;
    pMain->GetStartupAccount(account, password);
    if (!account.IsEmpty()) {
        m_cbAccount.SetWindowText(account);
        SetDlgItemText(IDC_LOGIN_PASSWORD, password);
        OnBnClickedButtonLogin();
    } else if (GetDlgItem(IDC_LOGIN_AUTOLOGIN) &&
               IsDlgButtonChecked(IDC_LOGIN_AUTOLOGIN) == BST_CHECKED) {
        OnBnClickedButtonLogin();
    }
}

void CLoginDlg::InitData() {
    TRACE_SCOPE("CLoginDlg::InitData");
    IUIPSETTING* pSettings = GetUIPSETTING();
    if (!pSettings)
        return;

    RefillAccountList();

    m_dlgAdvanced.SetServerIndex(_wtoi(pSettings->GetLoginServerIndex()));

    // The account's own record decides; the global flag only stands in for
    // an account that has none.
    CString autoLogin = kFlagOff;
    CString account;
    m_cbAccount.GetWindowText(account);
    if (!account.IsEmpty()) {
        LoginRecord record;
        if (pSettings->FindLoginRecord(account, record)) {
            autoLogin = record.autoLogin;
        } else {
            TRACE_RECORD(TRACE_LEVEL_WARNING, "CLoginDlg::InitData")
            (L"Can't find the account! in db.");
            autoLogin = pSettings->GetAutoLogin();
        }
    }

    if (!GetDlgItem(IDC_LOGIN_AUTOLOGIN))
        return;
    if (autoLogin == kFlagOn) {
        CheckDlgButton(IDC_LOGIN_AUTOLOGIN, BST_CHECKED);
        if (GetDlgItem(IDC_LOGIN_PASSWORD))
            SetDlgItemText(IDC_LOGIN_PASSWORD, pSettings->GetSavedPassword());
    } else {
        CheckDlgButton(IDC_LOGIN_AUTOLOGIN, BST_UNCHECKED);
    }
}

void CLoginDlg::RefillAccountList() {
    IUIPSETTING* pSettings = GetUIPSETTING();
    if (!pSettings)
        return;
    std::vector<CString>* pAccounts = pSettings->GetAccountList();
    if (!pAccounts)
        return;
    m_cbAccount.ResetContent();
    for (size_t i = 0; i < pAccounts->size(); ++i)
        if (!(*pAccounts)[i].IsEmpty())
            m_cbAccount.AddString((*pAccounts)[i]);
    m_cbAccount.SetCurSel(0);
}

// ---------------------------------------------------------------------------
// Login and logout

void CLoginDlg::OnOK() {
    TRACE_SCOPE("CLoginDlg::OnOK");
    IUIMain* pMain = GetUIMain();
    if (pMain && pMain->IsRegistered())
        return;
    OnBnClickedButtonLogin();
}

void CLoginDlg::OnBnClickedButtonLogin() {
    TRACE_SCOPE("CLoginDlg::OnBnClickedButtonLogin");
    CString account;
    m_cbAccount.GetWindowText(account);
    // Checked in both modes, although multi-user mode hides the box.
    if (account.IsEmpty()) {
        ShowInformation(m_hWnd, L"Login", L"IDS_LOG_ACCOUNT_ERRORNULL");
        return;
    }

    if (m_bMultiUser) {
        IUIPLOGIN* pLogin = GetUIPLOGIN();
        if (!pLogin)
            return;
        std::vector<RegInfo>* pUsers = pLogin->GetRegUsers();
        if (!pUsers)
            return;
        if (pUsers->empty()) {
            ShowInformation(m_hWnd, L"Login", L"IDS_LOG_REGUSERS_NULL");
            return;
        }
        m_strAccount = pUsers->front().account;
        if (pLogin->LoginRegUsers())
            UpdateUIByLoginState(UISTATE_LOGGING);
        return;
    }

    m_strAccount = account;
    GetDlgItemText(IDC_LOGIN_PASSWORD, m_strPassword);
    if (m_strAccount.Find(L'%') >= 0) {
        ShowInformation(m_hWnd, L"Login", L"IDS_LOG_ACCOUNT_ERRORCHAR");
        return;
    }
    IUIPLOGIN* pLogin = GetUIPLOGIN();
    if (!pLogin)
        return;
    const int serverIndex = m_dlgAdvanced.GetServerIndex();
    if (pLogin->StartLogin(m_strAccount, m_strPassword, serverIndex) == 0)
        UpdateUIByLoginState(UISTATE_LOGGING);
}

void CLoginDlg::OnBnClickedButtonLogout() {
    TRACE_SCOPE("CLoginDlg::OnBnClickedButtonLogout");
    IUIPSETTING* pSettings = GetUIPSETTING();
    if (!pSettings)
        return;

    const CString text = GetLangText(L"Kite", L"IDS_UC_INFO_LOGOUT");
    const CString caption = GetLangText(L"global", L"IDS_INFO_QUESTION");
    if (m_bHideClearCheck) {
        if (MessageBoxExW(m_hWnd, text, caption, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return;
    } else {
        int clear = pSettings->GetClearOnLogout() == kFlagOn ? 1 : 0;
        if (MessageBoxExW(m_hWnd, text, caption, GetLangText(L"Kite", L"IDS_UC_INFO_CHECK"), clear,
                          0, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return;
        if (clear) {
            pSettings->DeleteAccountInfo(m_strAccount);
            pSettings->SetClearOnLogout(kFlagOn);
            RefillAccountList();
            m_strPassword.Empty();
            if (GetDlgItem(IDC_LOGIN_PASSWORD))
                SetDlgItemText(IDC_LOGIN_PASSWORD, L"");
        } else {
            pSettings->SetClearOnLogout(kFlagOff);
        }
    }

    if (IUIMain* pMain = GetUIMain())
        pMain->NotifyLogout();
    if (IUIPLOGIN* pLogin = GetUIPLOGIN()) {
        pLogin->StopLogin();
        // The host reports the de-registration later as well; the panel
        // does not wait for it.
        OnDeRegResponse(0);
    }
}

// ---------------------------------------------------------------------------
// Registration results

void CLoginDlg::OnRegResponse(int code) {
    TRACE_SCOPE("CLoginDlg::OnRegResponse");
    switch (code) {
    case 0: {
        IUIMain* pMain = GetUIMain();
        if (pMain && pMain->IsRegistered())
            return; // already registered: a repeated success changes nothing
        CloseDatabase();
        InitDatabase(m_strAccount);
        SetCurrentAccount(m_strAccount);
        SetLoginState(1);
        UpdateUIByLoginState(UISTATE_LOGGEDIN);
        SetStatusBarText(0);
        SetTitleText(0);
        SaveData();
        if (!IsHaveMessage())
            ShowCallDlg();
        CheckUpgrade();
        break;
    }
    case 404:
        UpdateUIByLoginState(UISTATE_LOGGEDOUT);
        SetStatusBarText(4);
        ShowInformation(m_hWnd, L"Kite", L"IDS_REGERROR_404");
        break;
    case 403:
    case 408:
        UpdateUIByLoginState(UISTATE_LOGGEDOUT);
        SetStatusBarText(3);
        ShowInformation(m_hWnd, L"Kite", L"IDS_REGERROR_403");
        break;
    default:
        UpdateUIByLoginState(UISTATE_LOGGEDOUT);
        SetStatusBarText(1);
        break;
    }
    RefillAccountList();
}

void CLoginDlg::OnDeRegResponse(int code) {
    TRACE_SCOPE("CLoginDlg::OnDeRegResponse");
    if (code != 0)
        return;
    SetCurrentAccount(CString());
    SetLoginState(0);
    UpdateUIByLoginState(UISTATE_LOGGEDOUT);
    SetStatusBarText(1);
    ShowLoginDlg();
    SetTitleText(1);

    IUIPSETTING* pSettings = GetUIPSETTING();
    if (!pSettings)
        return;
    pSettings->SetAutoLogin(kFlagOff);
    pSettings->SetSavedPassword(CString());
    if (GetDlgItem(IDC_LOGIN_AUTOLOGIN))
        CheckDlgButton(IDC_LOGIN_AUTOLOGIN, BST_UNCHECKED);
    CloseDatabase();
    if (IUIMain* pMain = GetUIMain()) {
        pMain->NotifyLogout();
        pMain->NotifyDeregistered();
    }
}

// ---------------------------------------------------------------------------
// What the main window is told

void CLoginDlg::SetLoginState(int state) {
    TRACE_SCOPE("CLoginDlg::SetLoginState");
    if (IUIMain* pMain = GetUIMain())
        pMain->SetLoginState(state);
}

void CLoginDlg::SetStatusBarText(int code) {
    TRACE_SCOPE("CLoginDlg::SetStatusBarText");
    CString text;
    switch (code) {
    case 0:
        text = GetLangText(L"Kite", L"IDS_TITLE_REGED");
        break;
    case 1:
        text = GetLangText(L"Kite", L"IDS_UC_NOT_LOG");
        break;
    case 3:
        text = GetLangText(L"Kite", L"IDS_REGERROR_403");
        break;
    case 4:
        text = GetLangText(L"Kite", L"IDS_REGERROR_404");
        break;
    default:
        break;
    }
    if (IUIMain* pMain = GetUIMain())
        pMain->SetStatusText(text);
}

void CLoginDlg::SetTitleText(int code) {
    TRACE_SCOPE("CLoginDlg::SetTitleText");
    const CString appName = GetLangText(L"global", L"IDS_APP_NAME");
    CString title;
    if (code == 0)
        title.Format(L"%s  \u2014  %s  \u2014  %s", appName.GetString(), m_strAccount.GetString(),
                     GetLangText(L"Dial", L"IDS_INFO_IDLE").GetString());
    else
        title = appName;
    if (IUIMain* pMain = GetUIMain())
        pMain->SetTitle(title);
}

void CLoginDlg::SetCurrentAccount(const CString& account) {
    m_strAccount = account;
    if (IUIMain* pMain = GetUIMain())
        pMain->SetCurrentAccount(m_strAccount);
}

void CLoginDlg::ShowCallDlg() {
    TRACE_SCOPE("CLoginDlg::ShowCallDlg");
    if (IUIMain* pMain = GetUIMain())
        pMain->ShowCallPage();
}

void CLoginDlg::ShowLoginDlg() {
    TRACE_SCOPE("CLoginDlg::ShowLoginDlg");
    if (IUIMain* pMain = GetUIMain())
        pMain->ShowLoginPage();
}

// ---------------------------------------------------------------------------
// Panel states

void CLoginDlg::UpdateUIByLoginState(int state) {
    TRACE_SCOPE("CLoginDlg::UpdateUIByLoginState");
    m_uiState = state;
    CWnd* pPicture = GetDlgItem(IDC_LOGIN_PICTURE);
    if (!pPicture)
        return;
    CWnd* pStatus = GetDlgItem(IDC_LOGIN_STATUS);
    if (!pStatus)
        return;

    switch (state) {
    case UISTATE_LOGGEDIN: {
        if (!ApplyToItems(this, kLoggedInHidden, ITEMS_HIDE))
            return;
        CWnd* pLogout = GetDlgItem(IDC_LOGIN_BTN_LOGOUT);
        if (!pLogout)
            return;
        if (!m_bBlockLogout)
            pLogout->ShowWindow(SW_SHOW);
        if (!ApplyToItems(this, kLoggedInShown, ITEMS_SHOW))
            return;
        pStatus->SetWindowText(GetLangText(L"Kite", L"IDS_UC_LOG_SUCESS"));
        ApplyControlSkin(pPicture->m_hWnd, L"LogIn", kWindowSkin);
        ApplyControlSkin(pStatus->m_hWnd, L"LoginState", kWindowSkin);
        break;
    }
    case UISTATE_LOGGEDOUT: {
        CWnd* pAutoLogin = GetDlgItem(IDC_LOGIN_AUTOLOGIN);
        if (!pAutoLogin)
            return;
        if (!m_bBlockAutoLogin)
            pAutoLogin->ShowWindow(SW_SHOW);
        if (!ApplyToItems(this, kLoggedOutShown, ITEMS_SHOW))
            return;
        if (!ApplyToItems(this, kLoggedOutHidden, ITEMS_HIDE))
            return;
        if (!ApplyToItems(this, kInputItems, ITEMS_ENABLE))
            return;
        pStatus->SetWindowText(GetLangText(L"Kite", L"IDS_UC_NOT_LOG"));
        ApplyControlSkin(pPicture->m_hWnd, L"LogOut", kWindowSkin);
        ApplyControlSkin(pStatus->m_hWnd, L"LogOutState", kWindowSkin);
        if (m_cbAccount.GetSafeHwnd()) {
            m_cbAccount.SetEditSel(0, 65535);
            m_cbAccount.SetFocus();
        }
        break;
    }
    case UISTATE_LOGGING:
        if (!ApplyToItems(this, kInputItems, ITEMS_DISABLE))
            return;
        if (!ApplyToItems(this, kLoggingHidden, ITEMS_HIDE))
            return;
        pStatus->SetWindowText(GetLangText(L"Kite", L"IDS_UC_LOGINING"));
        ApplyControlSkin(pPicture->m_hWnd, L"Loging", kWindowSkin);
        ApplyControlSkin(pStatus->m_hWnd, L"LoginState", kWindowSkin);
        break;
    default:
        break;
    }

    if (m_bMultiUser && !ApplyToItems(this, kSingleUserItems, ITEMS_HIDE))
        return;
    OnCustomizeSet();
}

void CLoginDlg::SaveData() {
    TRACE_SCOPE("CLoginDlg::SaveData");
    IUIPSETTING* pSettings = GetUIPSETTING();
    if (!pSettings || !GetDlgItem(IDC_LOGIN_AUTOLOGIN))
        return;
    const bool bAutoLogin = IsDlgButtonChecked(IDC_LOGIN_AUTOLOGIN) == BST_CHECKED;
    if (!bAutoLogin) {
        pSettings->SetAutoLogin(kFlagOff);
        pSettings->SetSavedPassword(CString());
    } else {
        pSettings->SetAutoLogin(kFlagOn);
        if (GetDlgItem(IDC_LOGIN_PASSWORD)) {
            CString password;
            GetDlgItemText(IDC_LOGIN_PASSWORD, password);
            pSettings->SetSavedPassword(password);
        }
    }

    LoginRecord record;
    record.account = m_strAccount;
    record.password = m_strPassword;
    record.autoLogin = bAutoLogin ? kFlagOn : kFlagOff;
    pSettings->SaveLoginRecord(record);

    CString serverIndex;
    serverIndex.Format(L"%d", m_dlgAdvanced.GetServerIndex());
    pSettings->SetLoginServerIndex(serverIndex);
}

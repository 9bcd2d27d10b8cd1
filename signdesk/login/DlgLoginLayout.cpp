// The login panel's auxiliary windows, its layout, the advanced settings
// drawer, the skinned strip with the missed-call unit, and the cursor over
// the advertising lines.
#include "login/DlgLogin.h"
#include "accounts/DlgRegUsers.h"
#include "core/DpiScale.h"
#include "core/Lookup.h"
#include "support/TraceLog.h"

#include <SkinMagicU.h>

namespace {
const wchar_t kWindowSkin[] = L"LoginDlg";
const wchar_t kSkinAdvanceUp[] = L"BtnAdvanceUp";
const wchar_t kSkinAdvanceDown[] = L"BtnAdvanceDown";

// Child, visible, tab stop; the real place is set during initialisation.
const DWORD kPannelStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
// The advanced settings button spans the panel's width at its foot; the
// advanced area above it is this tall when folded out (pixels at 96 DPI).
const int kAdvancedButtonHeight = 20;
const int kAdvancedAreaHeight = 200;
// Layout settings of the missed-call unit, passed to the skin panel as is
// (it reads lengths as pixels at 96 DPI and scales them itself).
const int kUnitWidth = 96;
const int kUnitStyle = 2;
const int kUnitIndent = 5;

// Shows or hides the controls in order; false at the first missing one.
template <size_t N> bool ShowItems(CWnd* pDlg, const int (&ids)[N], int nCmdShow) {
    for (size_t i = 0; i < N; ++i) {
        CWnd* pItem = pDlg->GetDlgItem(ids[i]);
        if (!pItem)
            return false;
        pItem->ShowWindow(nCmdShow);
    }
    return true;
}

// The login fields the folded-out advanced area takes the place of, in
// order; folding in shows them again, all but the auto-login box, which
// follows the function configuration.
const int kFieldsUnderAdvanced[] = {
    IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_ACCOUNT,      IDC_LOGIN_LBL_PASSWORD,
    IDC_LOGIN_PASSWORD,    IDC_LOGIN_GROUP,        IDC_LOGIN_BTN_LOGIN,
    IDC_LOGIN_BTN_CLEAR,   IDC_LOGIN_BTN_KEYBOARD, IDC_LOGIN_AUTOLOGIN};
const int kFieldsShownAgain[] = {
    IDC_LOGIN_LBL_ACCOUNT, IDC_LOGIN_ACCOUNT,   IDC_LOGIN_LBL_PASSWORD, IDC_LOGIN_PASSWORD,
    IDC_LOGIN_GROUP,       IDC_LOGIN_BTN_LOGIN, IDC_LOGIN_BTN_CLEAR,    IDC_LOGIN_BTN_KEYBOARD};
} // namespace

int CLoginDlg::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_dlgKeyboard.Create(IDD_KEYBOARD, this))
        return -1;
    if (!m_pannel.Create(kPannelStyle, CRect(0, 0, 0, 0), this, IDC_LOGIN_PANNEL, 0))
        return -1;
    return m_toolTip.Create(this, 0) ? 0 : -1;
}

void CLoginDlg::InitPannel() {
    TRACE_SCOPE("CLoginDlg::InitPannel");
    CSkinControlUnit unit;
    unit.m_nID = IDC_LOGIN_UNIT_NOANSWER;
    unit.m_strText.Format(L"%s %d", GetLangText(L"Login", L"IDS_LOG_PHONE").GetString(), 0);
    unit.m_nWidth = kUnitWidth;
    unit.m_nStyle = kUnitStyle;
    unit.m_nIndent = kUnitIndent;
    m_pannel.AddControlUnit(unit);
}

void CLoginDlg::MoveCtrl() {
    TRACE_SCOPE("CLoginDlg::MoveCtrl");
    CRect rcClient;
    GetClientRect(&rcClient);
    CWnd* pButton = GetDlgItem(IDC_LOGIN_BTN_ADVANCED);
    if (!pButton)
        return;
    const CDpiScale dpi(m_hWnd);
    const int nButtonHeight = dpi.Scale(kAdvancedButtonHeight);
    const int nAreaHeight = dpi.Scale(kAdvancedAreaHeight);
    pButton->MoveWindow(rcClient.left, rcClient.bottom - nButtonHeight, rcClient.Width(),
                        nButtonHeight, TRUE);
    // The button goes back to its folded-in look; m_bAdvancedShown stays,
    // so the next click folds the area in.
    ApplyControlSkin(pButton->m_hWnd, kSkinAdvanceUp, kWindowSkin);
    if (m_dlgAdvanced.GetSafeHwnd())
        m_dlgAdvanced.MoveWindow(rcClient.left, rcClient.bottom - nAreaHeight, rcClient.Width(),
                                 nAreaHeight, TRUE);
}

void CLoginDlg::OnBnClickedButtonAdvancesetting() {
    TRACE_SCOPE("CLoginDlg::OnBnClickedButtonAdvancesetting");
    if (m_bMultiUser == 1) {
        // In multi-user mode the button edits the registration list instead.
        CRegUsersDlg dlg(NULL);
        dlg.DoModal();
        return;
    }
    CWnd* pButton = GetDlgItem(IDC_LOGIN_BTN_ADVANCED);
    if (!pButton)
        return;
    CRect rcArea;
    m_dlgAdvanced.GetWindowRect(&rcArea);
    ScreenToClient(&rcArea);

    const int nButtonHeight = CDpiScale(m_hWnd).Scale(kAdvancedButtonHeight);
    m_bAdvancedShown = m_bAdvancedShown ? 0 : 1;
    if (m_bAdvancedShown) {
        // Folded out: the button sits right on top of the area.
        ApplyControlSkin(pButton->m_hWnd, kSkinAdvanceDown, kWindowSkin);
        pButton->MoveWindow(rcArea.left, rcArea.top - nButtonHeight, rcArea.Width(), nButtonHeight,
                            TRUE);
    } else {
        // Folded in: back to the foot of the area, the panel's foot.
        ApplyControlSkin(pButton->m_hWnd, kSkinAdvanceUp, kWindowSkin);
        pButton->MoveWindow(rcArea.left, rcArea.bottom - nButtonHeight, rcArea.Width(),
                            nButtonHeight, TRUE);
    }
    ShowAdvancedDlg();
}

void CLoginDlg::ShowAdvancedDlg() {
    TRACE_SCOPE("CLoginDlg::ShowAdvancedDlg");
    if (m_bAdvancedShown) {
        if (!ShowItems(this, kFieldsUnderAdvanced, SW_HIDE))
            return;
        m_dlgAdvanced.ShowWindow(SW_SHOW);
        return;
    }
    if (!ShowItems(this, kFieldsShownAgain, SW_SHOW))
        return;
    CWnd* pAutoLogin = GetDlgItem(IDC_LOGIN_AUTOLOGIN);
    if (!pAutoLogin)
        return;
    if (!m_bBlockAutoLogin)
        pAutoLogin->ShowWindow(SW_SHOW);
    m_dlgAdvanced.ShowWindow(SW_HIDE);
}

LRESULT CLoginDlg::OnPannelNotify(WPARAM wParam, LPARAM lParam) {
    const DWORD* pCode = reinterpret_cast<const DWORD*>(wParam);
    const SKINPANNELNOTIFY* pNotify = reinterpret_cast<const SKINPANNELNOTIFY*>(lParam);
    if (pCode && *pCode == PANNEL_CODE_USED && pNotify && pNotify->pUnit)
        SendMessage(WM_COMMAND, pNotify->pUnit->m_nID, 0);
    return 0;
}

BOOL CLoginDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    // The advertising lines are links: a hand over them while they show.
    CRect rcBill1(0, 0, -1, -1);
    CRect rcBill2(0, 0, -1, -1);
    CWnd* pBill1 = GetDlgItem(IDC_LOGIN_BILL1);
    CWnd* pBill2 = GetDlgItem(IDC_LOGIN_BILL2);
    if (pBill1 && pBill2 && pBill1->IsWindowVisible()) {
        pBill1->GetWindowRect(&rcBill1);
        pBill2->GetWindowRect(&rcBill2);
    }
    CPoint pt;
    ::GetCursorPos(&pt);
    if (rcBill1.PtInRect(pt) || rcBill2.PtInRect(pt)) {
        ::SetCursor(::LoadCursorW(NULL, IDC_HAND));
        return TRUE;
    }
    return CDialog::OnSetCursor(pWnd, nHitTest, message);
}

void CLoginDlg::OnPaint() {
    CPaintDC dc(this); // the skin draws the panel
    // Keep a visible soft keyboard at the password field where it was put.
    if (!m_dlgKeyboard.GetSafeHwnd() || !m_dlgKeyboard.IsWindowVisible())
        return;
    CWnd* pPassword = GetDlgItem(IDC_LOGIN_PASSWORD);
    if (!pPassword)
        return;
    CRect rc;
    pPassword->GetWindowRect(&rc);
    const SIZE size = KeyboardSize(CDpiScale(m_hWnd));
    int x = 0, y = 0;
    switch (m_nKeyboardPos) {
    case KEYBOARD_POS_BELOW_LEFT:
        x = rc.left, y = rc.bottom + 1;
        break;
    case KEYBOARD_POS_ABOVE_LEFT:
        x = rc.left, y = rc.top - size.cy;
        break;
    case KEYBOARD_POS_BELOW_RIGHT:
        x = rc.right - size.cx, y = rc.bottom + 1;
        break;
    case KEYBOARD_POS_ABOVE_RIGHT:
        x = rc.right - size.cx, y = rc.top - size.cy;
        break;
    default:
        return;
    }
    m_dlgKeyboard.MoveWindow(x, y, size.cx, size.cy, TRUE);
}

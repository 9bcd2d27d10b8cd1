#include "login/DlgKeyboard.h"

#include "core/CompileCheck.h"
#include "core/TemplateLayout.h"
#include "login/DlgLogin.h"

#include <SkinMagicU.h>

#include <vector>

// Key IDC_KEY_FIRST + i types character i of the table of the Shift state.
// The window skins draw the same tables on the keys.
const wchar_t CKeyboardDlg::kKeyTable[2][48] = {
    L"`1234567890-=qwertyuiop[]\\asdfghjkl;'/zxcvbnm,.",
    L"~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:\"?ZXCVBNM<>",
};

// One key per table character.
SD_COMPILE_CHECK(IDC_KEY_LAST - IDC_KEY_FIRST + 1 == 47, OneKeyPerCharacter);

SIZE KeyboardSize(const CDpiScale& dpi) {
    SIZE size = {dpi.Scale(KEYBOARD_WIDTH), dpi.Scale(KEYBOARD_HEIGHT)};
    return size;
}

int ChooseKeyboardPlace(const RECT& rcField, SIZE keyboard, SIZE screen, POINT& topLeft,
                        int nScreenMargin) {
    // Room below the field, keeping a strip free at the bottom of the screen.
    bool bBelow = screen.cy - nScreenMargin - rcField.bottom > keyboard.cy;
    int nPlacement;
    if (screen.cx - rcField.left > keyboard.cx) {
        topLeft.x = rcField.left < 0 ? 0 : rcField.left;
        nPlacement = bBelow ? KEYBOARD_POS_BELOW_LEFT : KEYBOARD_POS_ABOVE_LEFT;
    } else {
        LONG right = rcField.right > screen.cx ? screen.cx : rcField.right;
        topLeft.x = right - keyboard.cx;
        nPlacement = bBelow ? KEYBOARD_POS_BELOW_RIGHT : KEYBOARD_POS_ABOVE_RIGHT;
    }
    topLeft.y = bBelow ? rcField.bottom + 1 : rcField.top - keyboard.cy;
    return nPlacement;
}

IMPLEMENT_DYNAMIC(CKeyboardDlg, CDialog)

CKeyboardDlg::CKeyboardDlg(CWnd* pParent)
    : CDialog(IDD_KEYBOARD, pParent), m_bShift(0), m_pOwnerDlg(NULL) {}

CKeyboardDlg::~CKeyboardDlg() {}

void CKeyboardDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}

BEGIN_MESSAGE_MAP(CKeyboardDlg, CDialog)
ON_COMMAND_RANGE(IDC_KEY_FIRST, IDC_KEY_LAST, OnKey)
ON_BN_CLICKED(IDC_KEY_SHIFT, OnShift)
ON_BN_CLICKED(IDC_KEY_BACKSPACE, OnBackspace)
ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CKeyboardDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    RemoveSkin(m_hWnd);
    ApplyWindowSkin(m_hWnd, L"SoftKeyBoard");
    ClearKeyTexts();
    CRect rcClient;
    GetClientRect(&rcClient);
    m_sizeKeys = rcClient.Size();
    return TRUE;
}

// The key grid is laid out in dialog units, but the keyboard is shown at
// KEYBOARD_WIDTH x KEYBOARD_HEIGHT pixels (at 96 DPI) whatever the metrics
// of the dialog font: the keys follow the keyboard's size. They move when
// the size first changes (when the keyboard is first shown), not while it
// is created.
void CKeyboardDlg::OnSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    if (cx <= 0 || cy <= 0 || m_sizeKeys.cx <= 0 || m_sizeKeys.cy <= 0)
        return;
    if (cx == m_sizeKeys.cx && cy == m_sizeKeys.cy)
        return;
    std::vector<HWND> keys;
    std::vector<RECT> rects;
    for (HWND hKey = ::GetWindow(m_hWnd, GW_CHILD); hKey; hKey = ::GetWindow(hKey, GW_HWNDNEXT)) {
        CRect rc;
        ::GetWindowRect(hKey, &rc);
        ScreenToClient(&rc);
        keys.push_back(hKey);
        rects.push_back(rc);
    }
    if (keys.empty())
        return;
    // Keys side by side stay side by side: apart first, then each edge scaled.
    KeepRectsApart(&rects[0], static_cast<int>(rects.size()));
    HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(keys.size()));
    for (size_t i = 0; i < keys.size() && hdwp; ++i) {
        const RECT& rc = rects[i];
        const int left = MulDiv(rc.left, cx, m_sizeKeys.cx);
        const int top = MulDiv(rc.top, cy, m_sizeKeys.cy);
        const int right = MulDiv(rc.right, cx, m_sizeKeys.cx);
        const int bottom = MulDiv(rc.bottom, cy, m_sizeKeys.cy);
        hdwp = ::DeferWindowPos(hdwp, keys[i], NULL, left, top, right - left, bottom - top,
                                SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    if (hdwp)
        ::EndDeferWindowPos(hdwp);
    m_sizeKeys = CSize(cx, cy);
}

void CKeyboardDlg::SetOwnerDlg(CLoginDlg* pOwner) {
    m_pOwnerDlg = pOwner;
}

// The keys show only what the skin draws on them.
void CKeyboardDlg::ClearKeyTexts() {
    const wchar_t* pTable = kKeyTable[m_bShift ? 1 : 0];
    for (int i = 0; pTable[i] != L'\0'; ++i) {
        CWnd* pKey = GetDlgItem(IDC_KEY_FIRST + i);
        if (!pKey)
            return;
        pKey->SetWindowText(L"");
    }
    static const int kNamedKeys[] = {IDC_KEY_SHIFT, IDC_KEY_BACKSPACE};
    for (size_t i = 0; i < SD_COUNTOF(kNamedKeys); ++i) {
        CWnd* pKey = GetDlgItem(kNamedKeys[i]);
        if (!pKey)
            return;
        pKey->SetWindowText(L"");
    }
}

void CKeyboardDlg::OnKey(UINT nID) {
    wchar_t ch = kKeyTable[m_bShift ? 1 : 0][nID - IDC_KEY_FIRST];
    if (m_pOwnerDlg)
        m_pOwnerDlg->SetPSW(ch, FALSE);
}

// Shift stays on until it is pressed again; typing does not release it.
void CKeyboardDlg::OnShift() {
    m_bShift = 1 - m_bShift;
    RemoveSkin(m_hWnd);
    ApplyWindowSkin(m_hWnd, m_bShift ? L"SoftKeyBoardShift" : L"SoftKeyBoard");
}

void CKeyboardDlg::OnBackspace() {
    if (m_pOwnerDlg)
        m_pOwnerDlg->SetPSW(L'\0', TRUE);
}

// The keys take no focus of their own: the hidden button holds it.
void CKeyboardDlg::FocusHiddenButton() {
    CWnd* pButton = GetDlgItem(IDC_KEY_FOCUS);
    if (pButton)
        pButton->SetFocus();
}

// A click anywhere on the keyboard brings it to the front.
BOOL CKeyboardDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_LBUTTONDBLCLK)
        ::SetForegroundWindow(m_hWnd);
    return CDialog::PreTranslateMessage(pMsg);
}

// The soft keyboard: a pop-up beside the password field whose keys are
// applied by the login panel. The skin draws the characters on the keys.
#pragma once

#include "core/DpiScale.h"
#include "res/resource.h"

#include <afxwin.h>

class CLoginDlg;

// Where the keyboard sits beside the password field (the panel's
// m_nKeyboardPos). 0: never placed.
enum {
    KEYBOARD_POS_NONE = 0,
    KEYBOARD_POS_BELOW_LEFT = 1,  // below the field, left edges aligned
    KEYBOARD_POS_ABOVE_LEFT = 2,  // above the field, left edges aligned
    KEYBOARD_POS_BELOW_RIGHT = 3, // below the field, right edges aligned
    KEYBOARD_POS_ABOVE_RIGHT = 4  // above the field, right edges aligned
};

// Size of the keyboard window whenever it is shown, and the strip kept free
// at the bottom of the screen when it is first placed: pixels at 96 DPI.
enum { KEYBOARD_WIDTH = 318, KEYBOARD_HEIGHT = 103, KEYBOARD_SCREEN_MARGIN = 30 };

// The keyboard's size when shown, at the DPI of dpi.
SIZE KeyboardSize(const CDpiScale& dpi);

// Placing the keyboard when it is shown: the field's screen rectangle, the
// keyboard's current size, the screen size and the strip kept free at the
// screen's bottom give its top-left corner; returns the placement (1 to 4).
int ChooseKeyboardPlace(const RECT& rcField, SIZE keyboard, SIZE screen, POINT& topLeft,
                        int nScreenMargin = KEYBOARD_SCREEN_MARGIN);

class CKeyboardDlg : public CDialog {
    DECLARE_DYNAMIC(CKeyboardDlg)
public:
    explicit CKeyboardDlg(CWnd* pParent = NULL);
    virtual ~CKeyboardDlg();
    enum { IDD = IDD_KEYBOARD };

    // The characters of keys IDC_KEY_FIRST..IDC_KEY_LAST, Shift off and on.
    static const wchar_t kKeyTable[2][48];

    void SetOwnerDlg(CLoginDlg* pOwner);
    void FocusHiddenButton();
    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();

    void ClearKeyTexts();
    void OnSize(UINT nType, int cx, int cy);
    void OnKey(UINT nID);
    void OnShift();
    void OnBackspace();
    DECLARE_MESSAGE_MAP()

    int m_bShift;
    CLoginDlg* m_pOwnerDlg; // not owned
    CSize m_sizeKeys;       // client size the keys are laid out for
};

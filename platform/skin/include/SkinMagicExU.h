// SkinMagicExU: skinned controls (control panel with units, masked edit)
// and skinned message boxes.
#pragma once

#include <afxwin.h>

#ifdef SKINEX_BUILDING_DLL
#define SKINEX_API __declspec(dllexport)
#else
#define SKINEX_API __declspec(dllimport)
#endif

// Message the control panel sends its parent when a unit is used:
// wParam points to a 32-bit code (1 = used), lParam to a SKINPANNELNOTIFY.
#define WM_PANNEL_NOTIFY 0x1400
#define PANNEL_CODE_USED 1

// One clickable unit of a CSkinControlPannel: 23 fields of 32 bits in the
// 32-bit build. The panel lays its units out left to right:
//   x: the previous unit's right edge (0 for the first) + m_nSpaceX;
//   width: m_nWidth; a unit whose width follows its text (m_bFixedSize 0)
//     grows when its text needs more (indent + image + text + indent);
//     never wider than the room left in the panel;
//   height: text height + 2 * m_nHeightMargin, at most the panel's height
//     less 2 * m_nSpaceY, centred vertically in the panel;
//   text: from m_nIndent inside the unit (after the image), one line,
//     vertically centred, cut with an ellipsis when it does not fit.
// Lengths are pixels at 96 DPI: the panel draws them at its window's DPI.
class SKINEX_API CSkinControlUnit {
public:
    CSkinControlUnit();
    CSkinControlUnit(const CSkinControlUnit& src);
    CSkinControlUnit& operator=(const CSkinControlUnit& src);
    ~CSkinControlUnit();
    BOOL IsFixedSize() const { return m_bFixedSize != 0; }

    int m_nImage;        // 1: glyph before the text: -1 none (default), 0 phone, 1 envelope
    int m_nWidth;        // 2: width in pixels (512)
    int m_nHeightMargin; // 3: margin above and below the text (5)
    UINT m_nID;          // 4: command id reported when used (0)
    int m_nStyle;        // 5: 0 plain text (underlined on hover), 1 framed, 2 framed and
                         //    highlighted on hover (0)
    int m_nIndent;       // 6: left (and right) indent of the text in pixels (0)
    int m_nSpaceX;       // 7: horizontal gap before the unit (2)
    int m_nSpaceY;       // 8: least vertical gap to the panel's edges (2)
    RECT m_rcUnit;       // 9-12: the unit's place, set by the panel (0)
    RECT m_rcText;       // 13-16: the text's place, set by the panel
    CString m_strText;   // 17: text shown
    CString m_strTip;    // 18: second text: the unit's tool tip (none when empty)
    COLORREF m_clrBack;  // 19: face of a framed unit (system window colour)
    int m_nState;        // 20: 0 normal, 1 hover, 2 pressed; kept by the panel
    int m_bFixedSize;    // 21: non-zero: the width is m_nWidth whatever the text
    int m_nReserved;     // 22: kept, not used
    int m_nUserData;     // 23: kept for the caller, not used
};

// Record lParam of WM_PANNEL_NOTIFY points to; the fourth 32-bit field is
// the unit that was used.
struct SKINPANNELNOTIFY {
    HWND hwndFrom;
    UINT idFrom;
    UINT code;
    CSkinControlUnit* pUnit;
};

// A strip of units drawn by the skin (section "<window skin>.Pannel" of the
// skin of the window it lies in). Create registers the window class
// "SkinControlPannel" and binds the object to its window. Over a unit the
// cursor is a hand; a unit is used when the left button goes down and up on
// it, and the parent is then sent WM_PANNEL_NOTIFY.
// Units are drawn by m_nStyle: 0 text only (underlined on hover), 1 a
// rounded frame filled with m_clrBack, 2 the same, lit on hover; pressed
// units of style 1 and 2 are drawn sunk.
class SKINEX_API CSkinControlPannel : public CWnd {
public:
    CSkinControlPannel();
    virtual ~CSkinControlPannel();
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwReserved = 0);
    // Adds a copy of unit; returns its position.
    int AddControlUnit(CSkinControlUnit& unit);
    // Replaces the text of the unit whose command id is nID.
    BOOL ChangeControlUint(UINT nID, CString strText);

    // Inspection, for the host and tests.
    int GetUnitCount() const;
    const CSkinControlUnit* GetUnit(int nIndex) const;
    const CSkinControlUnit* FindUnit(UINT nID) const;

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    struct Impl;
    Impl* m_pImpl;
};

// An edit control taken over from a dialog; SetMask limits typing and
// pasting to the given characters (empty: no limit).
class SKINEX_API CSkinEditEx : public CEdit {
public:
    CSkinEditEx();
    virtual ~CSkinEditEx();
    void SetMask(LPCWSTR lpszMask);
    CString GetMask() const;

protected:
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CString m_strMask;
};

// Button captions of the skinned message boxes.
struct SKINEX_API _tagMSGBOXTEXT {
    _tagMSGBOXTEXT();
    CString strOK, strCancel, strYes, strNo, strAbort, strRetry, strContinue, strTryAgain,
        strIgnore, strHelp, strClose, strSeconds;
};

// Skinned message boxes: Win32 meaning of type and result (IDOK = 1 ...).
// The box is a modal pop-up of window class SKINMSGBOX_CLASS owned by the
// top-level window of hWnd and centred on hWnd; its window text is the
// caption, the message is the static control SKINMSGBOX_IDC_TEXT, the
// buttons have their result as control id (IDOK, IDCANCEL, ...) and the
// check box is SKINMSGBOX_IDC_CHECK. Esc answers IDCANCEL when there is a
// Cancel button (IDOK for a box with only OK). With the environment variable
// SKIN_MSGBOX_AUTOCLOSE set to a number of milliseconds, a box shown to the
// user answers itself with its default button after that time.
#define SKINMSGBOX_CLASS L"SkinMagicMsgBox"
#define SKINMSGBOX_IDC_TEXT 0xFFFF
#define SKINMSGBOX_IDC_CHECK 0x1001
SKINEX_API int MessageBoxExW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
// The same with a check box: checkState gives its initial setting and
// receives the final one.
SKINEX_API int MessageBoxExW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, LPCWSTR lpCheckText,
                             int& checkState, int nReserved, UINT uType);

// Scripting (host and tests): a handler sees every message box before it
// is shown. It returns the answer (and may change *pCheckState), or -1 to
// let the box be shown to the user.
struct SKINMSGBOXINFO {
    HWND hWndOwner;
    const wchar_t* lpText;
    const wchar_t* lpCaption;
    const wchar_t* lpCheckText; // null for the plain form
    int* pCheckState;           // null for the plain form
    UINT uType;
};
typedef int (*SKINMSGBOXHANDLER)(const SKINMSGBOXINFO* pInfo, void* pContext);
SKINEX_API void SkinSetMessageBoxHandler(SKINMSGBOXHANDLER pfnHandler, void* pContext);

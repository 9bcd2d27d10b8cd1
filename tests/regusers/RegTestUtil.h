// Helpers of the registration list tests: the list view as a user sees it,
// records, and a fixture that runs the real dialogs modally.
#pragma once

#include "DlgRegUsers.h"
#include "DlgRegUsersInfo.h"
#include "TestHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace regtest {

RegInfo Reg(const wchar_t* account, const wchar_t* password, const wchar_t* address,
            const wchar_t* port, const wchar_t* imsDomain = L"", int flag = 1,
            const wchar_t* extra = L"");

// The list control of the registration list dialog.
HWND List(HWND hDlg);
int RowCount(HWND hList);
std::wstring Cell(HWND hList, int row, int col);
std::vector<std::wstring> Row(HWND hList, int row);
// Selects (and focuses) a row as a click would, through LVM_SETITEMSTATE,
// which notifies the parent with LVN_ITEMCHANGED.
void SelectRow(HWND hList, int row);
void ClearSelection(HWND hList);
int SelectedRow(HWND hList);
// A real double click on the row's label (WM_LBUTTONDBLCLK to the control).
void DoubleClickRow(HWND hList, int row);

struct Column {
    std::wstring text;
    int width;
    int align; // LVCFMT_LEFT, LVCFMT_CENTER or LVCFMT_RIGHT
};
std::vector<Column> Columns(HWND hList);

// Keys delivered through the modal loop: Esc and Enter with the focus on
// the list (no push button focused), and the title bar's close box.
void PressEscape(HWND hDlg);
void PressEnter(HWND hDlg);
void CloseBox(HWND hDlg);

// Clicks a button of a modal dialog from its driver action, which must
// end with this call. then runs once the dialog's modal loop had the chance
// to end: stillOpen tells whether the click left the dialog open. A dialog
// left open must be ended by then (its loop is still running it).
void ClickAndThen(HWND hDlg, int id, std::function<void(bool stillOpen)> then);

// The control of hDlg that holds the keyboard focus.
HWND Focus(HWND hDlg);

// Texts the fake language service gives.
std::wstring Lang(const wchar_t* section, const wchar_t* key);

bool SameRecord(const RegInfo& a, const RegInfo& b);
std::string Describe(const RegInfo& r);

class RegUsersTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the registration list modally; action acts on it once it is
    // initialised and must end it.
    INT_PTR RunList(const std::function<void(CRegUsersDlg&, HWND)>& action);
    // Queues action for the entry dialog that opens next.
    static void OnEntry(const std::function<void(HWND)>& action);
    // Fills the entry dialog's five edits (through their window texts, which
    // notify the dialog as typing does).
    static void Fill(HWND hEntry, const std::wstring& account, const std::wstring& password,
                     const std::wstring& address, const std::wstring& port,
                     const std::wstring& imsDomain);

    std::vector<RegInfo>& Records() { return siblings.login.regUsers; }
    int SaveCount() const { return Calls().Count(L"Login.SaveRegUsers"); }

    Siblings siblings;
};

} // namespace regtest

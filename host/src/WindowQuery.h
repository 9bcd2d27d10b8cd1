// What a user sees of the client, read from the real windows: the panel's
// controls, message boxes, modal dialogs and the soft keyboard. Used by the
// tour to know when a state is reached, and by the tests.
#pragma once

#include <afxwin.h>

#include <string>
#include <vector>

namespace kite {

std::wstring WindowText(HWND hwnd);
std::wstring ItemText(HWND parent, int id);
bool ItemVisible(HWND parent, int id);
bool ItemEnabled(HWND parent, int id);
// The visible top-level windows of the calling thread, top of the z-order
// first.
std::vector<HWND> ThreadWindows();
// The skinned message box on the screen (null when none), and its text.
HWND FindMessageBox();
std::wstring MessageBoxText(HWND box);
// A visible modal dialog of this thread that holds a control with id.
HWND FindDialogWith(int id);
// The soft keyboard, when it is visible.
HWND FindKeyboard();
// The text of a unit of the panel's skinned strip (empty when none).
std::wstring UnitText(HWND panel, UINT unitId);
// Presses a unit of the strip with the mouse (posted, so it happens in the
// message loop).
bool PressUnit(HWND panel, UINT unitId);
// Clicks a button when a user could: visible and enabled. Posted.
bool PostClick(HWND parent, int id);
// The status bar's text of part.
std::wstring StatusBarText(HWND statusBar, int part);

} // namespace kite

// Controls a dialog template places edge to edge. The dialog manager turns
// a control's place and its size into pixels each on its own, rounding
// both, so that at some display scalings (120 or 144 DPI) a control reaches
// one pixel into the neighbour its template puts right next to it. These
// take that pixel back; where nothing overlaps (as at 96 DPI) they change
// nothing.
#pragma once

#include <windows.h>

// A rectangle whose right (bottom) edge lies one pixel inside a rectangle
// that begins to its right (below it) and shares some of its rows (columns)
// ends where that one begins.
void KeepRectsApart(RECT* pRects, int nCount);

// The same for the child controls of a dialog, group boxes aside (they hold
// their controls).
void KeepChildrenApart(HWND hDlg);

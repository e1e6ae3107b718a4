// The shell of Install.exe: its entry (winmain.cpp), the full-screen
// backdrop (mainwnd.cpp), one file per dialog (the welcome and progress
// pages, the About box) and the restart. The pages run the core's steps
// (core/install.h) and show nothing the core does not hand them.
#ifndef WIZARD_H
#define WIZARD_H

#include <windows.h>
#include "texts.h"

// Set at start-up (winmain.cpp: the strings; mainwnd.cpp: the rest).
extern HINSTANCE appInstance;
extern char windowTitle[SETUP_TEXT_MAX];
extern char windowClassName[SETUP_TEXT_MAX];
extern HWND mainWindow;

// --- mainwnd.cpp ---------------------------------------------------------------------
ATOM RegisterMainWindowClass(HINSTANCE instance);
BOOL CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Centres window on the whole screen as measured at start-up.
void CenterOnScreen(HWND window);

// --- aboutdlg.cpp, welcomedlg.cpp, progressdlg.cpp -----------------------------------
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgressDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// --- restart.cpp ---------------------------------------------------------------------
// Restarts Windows; where Windows refuses, says so in a box owned by owner.
void RestartSystem(HWND owner);

#endif

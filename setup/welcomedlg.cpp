// The welcome page. Next hands over to the progress page, which runs modally
// inside Next's handler; Cancel ends the program without a question, since
// nothing has been done yet.
#include <windows.h>
#include "wizard.h"
#include "resource.h"

static void OnNext(HWND dialog)
{
    EndDialog(dialog, IDC_NEXT);
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_PROGRESS), mainWindow, ProgressDlgProc, 0);
}

static void OnCancel(HWND dialog)
{
    PostQuitMessage(0);
    EndDialog(dialog, IDCANCEL);
}

INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnScreen(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_NEXT:
            OnNext(dialog);
            return TRUE;
        case IDCANCEL:
            OnCancel(dialog);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// The floor the order form is measured against: the smallest modeless dialog program,
// whose one check box writes a label on every click, as a form's box writes its totals.
#include <windows.h>

#include "minimal_dialog.h"

static void ShowBoxState(HWND dialog)
{
    const bool ticked = IsDlgButtonChecked(dialog, IDC_MINIMAL_BOX) == BST_CHECKED;
    SetDlgItemTextA(dialog, IDC_MINIMAL_STATE, ticked ? "ticked" : "not ticked");
}

static INT_PTR CALLBACK MinimalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_MINIMAL_BOX && HIWORD(wParam) == BN_CLICKED)
            ShowBoxState(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            DestroyWindow(dialog);
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MINIMAL), NULL, MinimalDialogProc, 0);
    if (dialog == NULL)
        return 1;
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}

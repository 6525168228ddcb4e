// The dialog procedure: it creates the form's one controller, owns it and hands it every command.
#include <windows.h>

#include <new>

#include "order_form.h"
#include "resource.h"
#include "texts.h"

HINSTANCE g_hInstance;
OrderForm *g_form;

static void OnOutOfMemory()
{
    throw WinException{ GetLastError(), OutOfMemoryText };
}

HWND CreateOrderForm(HINSTANCE instance)
{
    g_hInstance = instance;
    std::set_new_handler(OnOutOfMemory);
    return CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ORDER_FORM), NULL, OrderDialogProc, 0);
}

// Without a controller the form stays up and ignores its commands.
static INT_PTR CreateController(HWND dialog)
{
    try {
        g_form = new OrderForm(dialog);
    } catch (const WinException &exception) {
        MessageBoxA(NULL, exception.message, ExceptionCaption, MB_ICONWARNING);
    } catch (...) {
        MessageBoxA(NULL, UnknownExceptionText, ExceptionCaption, MB_ICONWARNING);
        return -1;
    }
    return TRUE;
}

// The controller goes first, so the focus loss that destruction causes reaches no card check.
static void CloseForm(HWND dialog)
{
    delete g_form;
    g_form = NULL;
    DestroyWindow(dialog);
}

INT_PTR CALLBACK OrderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return CreateController(dialog);
    case WM_COMMAND:
        if (g_form)
            g_form->OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        CloseForm(dialog);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

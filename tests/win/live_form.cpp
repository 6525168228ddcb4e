// The live order form fixture.
#include "live_form.h"

#include "order_form.h"

std::string WindowText(HWND window)
{
    std::string text(GetWindowTextLengthA(window) + 1, '\0');
    text.resize(GetWindowTextA(window, &text[0], static_cast<int>(text.size())));
    return text;
}

void PumpMessages(HWND dialog)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        if (!IsWindow(dialog) || !IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void PressKey(HWND dialog, WPARAM key)
{
    MSG msg = {};
    msg.hwnd = GetFocus();
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    IsDialogMessageA(dialog, &msg);
    PumpMessages(dialog);
}

void LiveForm::SetUp()
{
    form_ = CreateOrderForm(GetModuleHandleA(NULL));
    ASSERT_NE(form_, (HWND)NULL);
    SetForegroundWindow(form_);
    PumpMessages(form_);
}

// WM_CLOSE deletes the controller before the form goes, as the close box does.
void LiveForm::TearDown()
{
    if (IsWindow(form_))
        SendMessageA(form_, WM_CLOSE, 0, 0);
    PumpMessages(form_);
}

void LiveForm::Click(int id) const
{
    SendMessageA(Item(id), BM_CLICK, 0, 0);
}

void LiveForm::Notify(int id, int code) const
{
    SendMessageA(form_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
}

bool LiveForm::IsTicked(int id) const
{
    return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void LiveForm::SetTicked(int id, bool ticked) const
{
    SendMessageA(Item(id), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void LiveForm::SetText(int id, const char *text) const
{
    SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

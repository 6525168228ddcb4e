// Program entry and the message loop of the modeless order form.
#include <windows.h>

#include <cstdlib>

#include "order_form.h"
#include "texts.h"

// The runtime's default handler prints a demangled name when an exception escapes, and the
// demangler is a third of the program's size; nothing here has a console to print on.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}

static int ReportCreateDialogFailure()
{
    char text[100];
    wsprintfA(text, CreateDialogErrorFormat, GetLastError());
    MessageBoxA(NULL, text, CreateDialogCaption, MB_ICONWARNING);
    return 1;
}

// IsDialogMessage gives the modeless form its Tab, Enter and Esc keys.
static int RunMessageLoop(HWND form)
{
    MSG msg;
    for (;;) {
        BOOL result = GetMessageA(&msg, NULL, 0, 0);
        if (result == 0)
            return static_cast<int>(msg.wParam);
        if (result == -1)
            return -1;
        if (!IsDialogMessageA(form, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HWND form = CreateOrderForm(instance);
    if (form == NULL)
        return ReportCreateDialogFailure();
    return RunMessageLoop(form);
}

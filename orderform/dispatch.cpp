// Sending the order: the clipboard through the hidden staging field, then the mail client.
#include "order_form.h"

#include <shellapi.h>

#include <cstdio>

#include "texts.h"

int g_aolMode;
char g_orderText[OrderTextSize];

// The body travels as UTF-8; the line is the ANSI text of the controls.
static bool AnsiToUtf8(const char *ansi, char *utf8, int utf8Size)
{
    static WCHAR wide[OrderTextSize];
    int length = MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, OrderTextSize);
    return length > 0 && WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, utf8Size, NULL, NULL) > 0;
}

void OrderForm::SendOrder()
{
    if (!RefuseBothUpgrades()) {
        BuildOrderText();
        AppendTrailer(g_orderText);
        CopyOrderToClipboard();
        if (g_aolMode == 0)
            OpenMailClient();
    }
    g_aolMode = 0;
}

bool OrderForm::RefuseBothUpgrades()
{
    if (!m_upgrade98.IsTicked() || !m_upgradeOld.IsTicked())
        return false;
    MessageBoxA(NULL, BothUpgradesText, ErrorCaption, MB_OK);
    if (m_baseProgram.IsTicked())
        MessageBoxA(NULL, BaseProgramWithUpgradeText, ErrorCaption, MB_OK);
    return true;
}

void OrderForm::CopyOrderToClipboard()
{
    m_staging.SetText(g_orderText);
    SendMessageA(m_staging.Handle(), EM_SETSEL, 0, -1);
    SendMessageA(m_staging.Handle(), WM_COPY, 0, 0);
}

// The clipboard already holds the order, so a mail client that cannot be
// started only costs the customer a paste.
void OrderForm::OpenMailClient()
{
    char directory[MAX_PATH];
    if (GetWindowsDirectoryA(directory, sizeof directory) == 0)
        std::snprintf(directory, sizeof directory, "C:\\WINDOWS");
    static char body[OrderTextSize * 3];
    if (!AnsiToUtf8(g_orderText, body, sizeof body))
        body[0] = '\0';
    BuildMailtoUrl(SalesAddress, OrderSubject, body, g_workText);
    HINSTANCE result = ShellExecuteA(NULL, "open", g_workText, g_emptyText, directory, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        MessageBoxA(NULL, NoMailProgramText, ErrorCaption, MB_OK);
}

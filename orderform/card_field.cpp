// The card number field: stripped to digits and checked whenever it loses the focus.
#include "order_form.h"

#include "card_check.h"
#include "texts.h"

void OrderForm::OnCardFieldKillFocus()
{
    if (StripCardField()) {
        m_cardNumber.Enable(false);
        return;
    }
    if (MessageBoxA(NULL, CardErrorQuestion, ErrorCaption, MB_YESNO) == IDYES) {
        HWND field = m_cardNumber.Handle();
        // Through the dialog manager, so the default button stays right.
        SendMessageA(GetParent(field), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    }
}

// The field shows the digits it was stripped to, whatever the check says.
bool OrderForm::StripCardField()
{
    m_cardNumber.GetText(g_workText, CardTextLimit + 1);
    StripNonDigits(g_workText);
    int issuer;
    int result = CheckCardNumber(g_workText, issuer);
    m_cardNumber.SetText(g_workText);
    return result == CardValid;
}

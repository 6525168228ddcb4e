// The form controller: set-up, command routing, the view toggle, upgrades and Clear.
#include "order_form.h"

#include "card_check.h"
#include "catalogue.h"
#include "resource.h"
#include "texts.h"

const char g_emptyText[] = "";
char g_workText[MailtoUrlSize];

Control::Control(HWND dialog, int id, BOOL enable)
    : m_window(GetDlgItem(dialog, id))
{
    if (!enable)
        EnableWindow(m_window, FALSE);
}

bool Control::IsTicked() const
{
    return SendMessageA(m_window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Control::SetTicked(bool ticked) const
{
    SendMessageA(m_window, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Control::SetText(const char *text) const
{
    SendMessageA(m_window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void Control::GetText(char *text, int size) const
{
    SendMessageA(m_window, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text));
}

void Control::Show(bool show) const
{
    ShowWindow(m_window, show ? SW_SHOW : SW_HIDE);
}

void Control::Enable(bool enable) const
{
    EnableWindow(m_window, enable);
}

// Hidden in turn by the view toggle, in the order they are hidden and shown.
Control OrderForm::*const OrderForm::SoftwareViewControls[] = {
    &OrderForm::m_baseProgram, &OrderForm::m_dxfOutput, &OrderForm::m_profileLibrary,
    &OrderForm::m_shapingModule, &OrderForm::m_revisionModule, &OrderForm::m_formGenerator,
    &OrderForm::m_notchPegLayout, &OrderForm::m_upgrade98, &OrderForm::m_upgradeOld,
    &OrderForm::m_shipInternational, &OrderForm::m_shipUsa, &OrderForm::m_newOrdersNote,
};

Control OrderForm::*const OrderForm::HardwareViewControls[] = {
    &OrderForm::m_cutter, &OrderForm::m_bow28, &OrderForm::m_bow40, &OrderForm::m_bow52,
    &OrderForm::m_hotWire, &OrderForm::m_powerSupply, &OrderForm::m_wireSet,
    &OrderForm::m_shippingNotes,
};

OrderForm::OrderForm(HWND dialog)
    : m_viewFlag(0),
      m_baseProgram(dialog, IDC_BASE_PROGRAM, TRUE),
      m_dxfOutput(dialog, IDC_DXF_OUTPUT, TRUE),
      m_profileLibrary(dialog, IDC_PROFILE_LIBRARY, TRUE),
      m_shapingModule(dialog, IDC_SHAPING_MODULE, TRUE),
      m_revisionModule(dialog, IDC_REVISION_MODULE, TRUE),
      m_formGenerator(dialog, IDC_FORM_GENERATOR, TRUE),
      m_notchPegLayout(dialog, IDC_NOTCH_PEG_LAYOUT, TRUE),
      m_upgrade98(dialog, IDC_UPGRADE_98, TRUE),
      m_upgradeOld(dialog, IDC_UPGRADE_OLD, TRUE),
      m_cutter(dialog, IDC_CUTTER, TRUE),
      m_bow28(dialog, IDC_BOW_28, TRUE),
      m_bow40(dialog, IDC_BOW_40, TRUE),
      m_bow52(dialog, IDC_BOW_52, TRUE),
      m_hotWire(dialog, IDC_HOT_WIRE, TRUE),
      m_powerSupply(dialog, IDC_POWER_SUPPLY, TRUE),
      m_wireSet(dialog, IDC_WIRE_SET, TRUE),
      m_shipInternational(dialog, IDC_SHIP_INTERNATIONAL, TRUE),
      m_shipUsa(dialog, IDC_SHIP_USA, TRUE),
      m_softwareTotal(dialog, IDC_SOFTWARE_TOTAL, TRUE),
      m_hardwareTotal(dialog, IDC_HARDWARE_TOTAL, TRUE),
      m_grandTotal(dialog, IDC_GRAND_TOTAL, TRUE),
      m_shippingNotes(dialog, IDC_SHIPPING_NOTES, TRUE),
      m_newOrdersNote(dialog, IDC_NEW_ORDERS_NOTE, TRUE),
      m_name(dialog, IDC_NAME, TRUE),
      m_email(dialog, IDC_EMAIL, TRUE),
      m_cardNumber(dialog, IDC_CARD_NUMBER, TRUE),
      m_expiryDate(dialog, IDC_EXPIRY_DATE, TRUE),
      m_comments(dialog, IDC_COMMENTS, TRUE),
      m_phone(dialog, IDC_PHONE, TRUE),
      m_address(dialog, IDC_ADDRESS, TRUE),
      m_staging(dialog, IDC_STAGING, TRUE),
      m_sendOrder(dialog, IDC_SEND_ORDER, TRUE),
      m_viewToggle(dialog, IDC_VIEW_TOGGLE, TRUE)
{
    SendMessageA(dialog, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(g_hInstance, MAKEINTRESOURCEA(IDI_FORM_BIG))));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconA(g_hInstance, MAKEINTRESOURCEA(IDI_FORM_SMALL))));
    // The field takes no more than the card check reads of it.
    SendMessageA(m_cardNumber.Handle(), EM_LIMITTEXT, CardTextLimit, 0);
    m_baseProgram.SetTicked(true);
    SendDlgItemMessageA(dialog, IDC_SHIP_USA, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(dialog, IDC_INSTRUCTIONS, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(InstructionsText));
    m_shippingNotes.SetText(ShippingNotesText);
    UpdateSoftwareTotal();
}

void OrderForm::OnCommand(HWND dialog, int id, int code)
{
    switch (id) {
    case IDCANCEL:
        DestroyWindow(dialog);
        break;
    case IDC_VIEW_TOGGLE:
        ToggleView();
        break;
    case IDC_CLEAR:
        ClearCardField();
        break;
    case IDC_BASE_PROGRAM: case IDC_SHAPING_MODULE: case IDC_REVISION_MODULE:
    case IDC_PROFILE_LIBRARY: case IDC_NOTCH_PEG_LAYOUT: case IDC_DXF_OUTPUT:
    case IDC_FORM_GENERATOR: case IDC_SHIP_USA: case IDC_SHIP_INTERNATIONAL:
        if (code == BN_CLICKED)
            UpdateSoftwareTotal();
        break;
    case IDC_UPGRADE_98:
        if (code == BN_CLICKED)
            UntickOtherUpgrade(m_upgradeOld);
        break;
    case IDC_UPGRADE_OLD:
        if (code == BN_CLICKED)
            UntickOtherUpgrade(m_upgrade98);
        break;
    case IDC_SEND_ORDER:
        if (code == BN_CLICKED)
            SendOrder();
        break;
    case IDC_CARD_NUMBER:
        if (code == EN_KILLFOCUS)
            OnCardFieldKillFocus();
        break;
    case IDC_AOL:
        if (code == BN_CLICKED)
            SendOrderForAol();
        break;
    case IDC_CUTTER: case IDC_BOW_28: case IDC_BOW_40: case IDC_BOW_52:
    case IDC_HOT_WIRE: case IDC_POWER_SUPPLY: case IDC_WIRE_SET:
        UpdateHardwareTotal();
        break;
    }
}

void OrderForm::ToggleView()
{
    if (m_viewFlag == 0) {
        ShowSoftwareView(false);
        ShowHardwareView(true);
        m_viewToggle.SetText(ShowSoftwareViewText);
        m_viewFlag = 1;
    } else {
        m_viewToggle.SetText(ShowHardwareViewText);
        ShowSoftwareView(true);
        ShowHardwareView(false);
        m_viewFlag = 0;
    }
}

void OrderForm::ShowSoftwareView(bool show)
{
    for (Control OrderForm::*control : SoftwareViewControls)
        (this->*control).Show(show);
}

void OrderForm::ShowHardwareView(bool show)
{
    for (Control OrderForm::*control : HardwareViewControls)
        (this->*control).Show(show);
}

// At most one upgrade is ordered: a click on either box unticks the other one.
void OrderForm::UntickOtherUpgrade(const Control &other)
{
    if (other.IsTicked())
        other.SetTicked(false);
    UpdateSoftwareTotal();
}

void OrderForm::ClearCardField()
{
    m_cardNumber.SetText(g_emptyText);
    m_cardNumber.Enable(true);
}

void OrderForm::SendOrderForAol()
{
    MessageBoxA(NULL, AolInstructionsText, InstructionsCaption, MB_OK);
    g_aolMode = 1;
    SendOrder();
}

// The order form's controller: binds the controls once and serves each action of the form.
#ifndef ORDERFORM_ORDER_FORM_H
#define ORDERFORM_ORDER_FORM_H

#include <windows.h>

#include "mailto.h"
#include "order_line.h"

// Thrown by value when memory runs out.
struct WinException {
    DWORD errorCode;
    const char *message;
};

// One control of the form, bound once from the dialog.
class Control {
public:
    Control(HWND dialog, int id, BOOL enable);

    HWND Handle() const { return m_window; }
    bool IsTicked() const;
    void SetTicked(bool ticked) const;
    void SetText(const char *text) const;
    void GetText(char *text, int size) const;
    void Show(bool show) const;
    void Enable(bool enable) const;

private:
    HWND m_window;
};

class OrderForm {
public:
    explicit OrderForm(HWND dialog);

    void OnCommand(HWND dialog, int id, int code);

private:
    void ToggleView();
    void ShowSoftwareView(bool show);
    void ShowHardwareView(bool show);
    void UntickOtherUpgrade(const Control &other);
    void ClearCardField();
    void SendOrderForAol();

    unsigned long ReadItemMask() const;
    void UpdateSoftwareTotal();
    void UpdateHardwareTotal();
    void ShowTotals(const Control &viewTotal, double total, const Control &otherTotal);

    void OnCardFieldKillFocus();
    bool StripCardField();

    void BuildOrderText();
    void SendOrder();
    bool RefuseBothUpgrades();
    void CopyOrderToClipboard();
    void OpenMailClient();

    unsigned m_viewFlag;   // 0 while the software view is shown, 1 for the hardware view
    Control m_baseProgram;
    Control m_dxfOutput;
    Control m_profileLibrary;
    Control m_shapingModule;
    Control m_revisionModule;
    Control m_formGenerator;
    Control m_notchPegLayout;
    Control m_upgrade98;
    Control m_upgradeOld;
    Control m_cutter;
    Control m_bow28;
    Control m_bow40;
    Control m_bow52;
    Control m_hotWire;
    Control m_powerSupply;
    Control m_wireSet;
    Control m_shipInternational;
    Control m_shipUsa;
    Control m_softwareTotal;
    Control m_hardwareTotal;
    Control m_grandTotal;
    Control m_shippingNotes;
    Control m_newOrdersNote;
    Control m_name;
    Control m_email;
    Control m_cardNumber;
    Control m_expiryDate;
    Control m_comments;
    Control m_phone;
    Control m_address;
    Control m_staging;
    Control m_sendOrder;
    Control m_viewToggle;

    struct ItemControl { Control OrderForm::*control; unsigned long item; };
    static const ItemControl ItemControls[];
    static Control OrderForm::*const SoftwareViewControls[];
    static Control OrderForm::*const HardwareViewControls[];
    static Control OrderForm::*const OrderFields[];
};

// Creates the form, modeless and shown, with its controller.
HWND CreateOrderForm(HINSTANCE instance);
INT_PTR CALLBACK OrderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

extern HINSTANCE g_hInstance;
extern OrderForm *g_form;
extern int g_aolMode;
extern const char g_emptyText[];
extern char g_workText[MailtoUrlSize];
extern char g_orderText[OrderTextSize];

#endif

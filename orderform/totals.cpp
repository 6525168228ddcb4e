// The three totals at the foot of the form, recomputed from the ticks on every click.
#include "order_form.h"

#include "catalogue.h"

// Every tickable choice, in the order of the item mask's bits from the highest.
const OrderForm::ItemControl OrderForm::ItemControls[] = {
    { &OrderForm::m_cutter,            ItemCutter },
    { &OrderForm::m_bow28,             ItemBow28 },
    { &OrderForm::m_bow40,             ItemBow40 },
    { &OrderForm::m_bow52,             ItemBow52 },
    { &OrderForm::m_hotWire,           ItemHotWire },
    { &OrderForm::m_powerSupply,       ItemPowerSupply },
    { &OrderForm::m_wireSet,           ItemWireSet },
    { &OrderForm::m_upgrade98,         ItemUpgrade98 },
    { &OrderForm::m_upgradeOld,        ItemUpgradeOld },
    { &OrderForm::m_baseProgram,       ItemBaseProgram },
    { &OrderForm::m_shapingModule,     ItemShapingModule },
    { &OrderForm::m_revisionModule,    ItemRevisionModule },
    { &OrderForm::m_profileLibrary,    ItemProfileLibrary },
    { &OrderForm::m_notchPegLayout,    ItemNotchPegLayout },
    { &OrderForm::m_dxfOutput,         ItemDxfOutput },
    { &OrderForm::m_formGenerator,     ItemFormGenerator },
    { &OrderForm::m_shipInternational, ItemInternationalShipping },
};

// Boxes of the hidden view keep their ticks and count like the shown ones.
unsigned long OrderForm::ReadItemMask() const
{
    unsigned long items = 0;
    for (const ItemControl &entry : ItemControls)
        if ((this->*entry.control).IsTicked())
            items |= entry.item;
    return items;
}

void OrderForm::UpdateSoftwareTotal()
{
    ShowTotals(m_softwareTotal, SoftwareTotal(ReadItemMask()), m_hardwareTotal);
}

void OrderForm::UpdateHardwareTotal()
{
    ShowTotals(m_hardwareTotal, HardwareTotal(ReadItemMask()), m_softwareTotal);
}

// The grand total adds the other view's total as it is displayed.
void OrderForm::ShowTotals(const Control &viewTotal, double total, const Control &otherTotal)
{
    FormatMoney(total, g_workText);
    viewTotal.SetText(g_workText);
    char otherText[MoneyTextSize];
    otherTotal.GetText(otherText, sizeof otherText);
    FormatMoney(GrandTotal(total, otherText), g_workText);
    m_grandTotal.SetText(g_workText);
}

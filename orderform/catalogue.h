// The items on sale, their prices and the totals the form shows. Needs no window.
#ifndef ORDERFORM_CATALOGUE_H
#define ORDERFORM_CATALOGUE_H

#include <cstddef>

// One bit per tickable choice; the same bits make up the order line's item mask.
// Bit 0 clear stands for shipping within the USA.
enum ItemBit : unsigned long {
    ItemInternationalShipping = 1ul << 0,
    ItemFormGenerator         = 1ul << 1,
    ItemDxfOutput             = 1ul << 2,
    ItemNotchPegLayout        = 1ul << 3,
    ItemProfileLibrary        = 1ul << 4,
    ItemRevisionModule        = 1ul << 5,
    ItemShapingModule         = 1ul << 6,
    ItemBaseProgram           = 1ul << 7,
    ItemUpgradeOld            = 1ul << 8,
    ItemUpgrade98             = 1ul << 9,
    ItemWireSet               = 1ul << 10,
    ItemPowerSupply           = 1ul << 11,
    ItemHotWire               = 1ul << 12,
    ItemBow52                 = 1ul << 13,
    ItemBow40                 = 1ul << 14,
    ItemBow28                 = 1ul << 15,
    ItemCutter                = 1ul << 16,
};

const std::size_t MoneyTextSize = 20;   // what the form reads back from a total

double SoftwareTotal(unsigned long items);
double HardwareTotal(unsigned long items);

// The grand total is formed from the other view's total as it is displayed.
double GrandTotal(double viewTotal, const char *otherTotalText);

void FormatMoney(double amount, char *text);

// One row of the price table as an order lists it: for readers of orders.
struct ItemCharge {
    unsigned long item;     // its ItemBit; 0 for shipping within the USA, which has none
    const char *name;
    double price;           // the item's price; for the shipping choice, its charge
    double handling;        // the S&H the row adds beside its price; 0 for software
    bool waived;            // the order's other ticks drop the S&H, or the shipping charge
};

// Every tickable item and the shipping choice.
const std::size_t ItemChargeLimit = 17;

// Writes into charges (ItemChargeLimit entries) a row for each ticked item and one for the
// shipping choice, in the price table's order; returns how many it wrote. The amounts not
// waived add up to SoftwareTotal(items) + HardwareTotal(items).
std::size_t ListItemCharges(unsigned long items, ItemCharge *charges);

#endif

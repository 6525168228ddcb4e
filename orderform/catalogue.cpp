// Prices of the software and hardware items and the rules that total them.
#include "catalogue.h"

#include <cstdio>
#include <cstdlib>

namespace {

enum RowKind { SoftwareRow, ShippingRow, HardwareRow };

// Software row: adds `first` when its box is not ticked, `second` when it is.
// Shipping row: adds `first` (USA) or, when its item is ticked, `second`.
// Hardware row: when ticked, adds `second` (price) and `first` (S&H).
// `waivedBy` names the ticks that drop the shipping charge or a row's S&H.
struct PriceRow {
    RowKind kind;
    unsigned long item;
    double first;
    double second;
    unsigned long waivedBy;
};

const unsigned long UpgradeItems = ItemUpgrade98 | ItemUpgradeOld;
const unsigned long HardwareItemsButHotWire =
    ItemCutter | ItemBow28 | ItemBow40 | ItemBow52 | ItemPowerSupply | ItemWireSet;

static const PriceRow PriceTable[] = {
    { SoftwareRow, ItemBaseProgram,           0.00,  36.00, 0 },
    { SoftwareRow, ItemNotchPegLayout,        0.00,  13.00, 0 },
    { SoftwareRow, ItemDxfOutput,             0.00,  10.00, 0 },
    { SoftwareRow, ItemFormGenerator,         0.00,  11.00, 0 },
    { SoftwareRow, ItemProfileLibrary,        0.00,  13.00, 0 },
    { SoftwareRow, ItemRevisionModule,        0.00,  14.00, 0 },
    { SoftwareRow, ItemShapingModule,         0.00,  21.00, 0 },
    { ShippingRow, ItemInternationalShipping, 3.00,   5.00, UpgradeItems },
    { SoftwareRow, ItemUpgrade98,             0.00,  22.00, 0 },
    { SoftwareRow, ItemUpgradeOld,            0.00,  62.00, 0 },
    { HardwareRow, ItemCutter,               12.50, 169.50, 0 },
    { HardwareRow, ItemBow28,                12.50,  39.50, ItemCutter },
    { HardwareRow, ItemBow40,                12.50,  44.50, ItemCutter },
    { HardwareRow, ItemBow52,                12.50,  49.50, ItemCutter },
    // The power supply's label says $7.50 S&H; the charge has always been 6.00.
    { HardwareRow, ItemPowerSupply,           6.00, 134.50, 0 },
    { HardwareRow, ItemWireSet,               4.50,  20.00, ItemCutter | ItemPowerSupply },
    { HardwareRow, ItemHotWire,               1.50,   4.50, HardwareItemsButHotWire },
};

struct ItemName {
    unsigned long item;
    const char *name;
};

// The names an order's listing gives the choices, after the form's labels.
static const ItemName ItemNames[] = {
    { ItemBaseProgram,           "Base Program" },
    { ItemNotchPegLayout,        "Notch/Peg Layout" },
    { ItemDxfOutput,             "DXF output" },
    { ItemFormGenerator,         "Form Generator" },
    { ItemProfileLibrary,        "Profile Library" },
    { ItemRevisionModule,        "Revision Module" },
    { ItemShapingModule,         "Shaping Module" },
    { 0,                         "Shipping in USA" },
    { ItemInternationalShipping, "International Shipping" },
    { ItemUpgrade98,             "Upgrade from Tessaro98 to Tessaro2000" },
    { ItemUpgradeOld,            "Upgrade from Tessaro to Tessaro2000" },
    { ItemCutter,                "Orvik (O/V) w/ 28\" bow" },
    { ItemBow28,                 "28\" Bow" },
    { ItemBow40,                 "40\" Bow" },
    { ItemBow52,                 "52\" Bow" },
    { ItemPowerSupply,           "O/V Power Supply" },
    { ItemWireSet,               "Wire Set to connect R/M to O/V" },
    { ItemHotWire,               "K240 Hot Wire-8' spool" },
};

const char *NameOf(unsigned long item)
{
    for (const ItemName &entry : ItemNames)
        if (entry.item == item)
            return entry.name;
    return "";
}

bool IsTicked(unsigned long items, unsigned long item)
{
    return (items & item) != 0;
}

double ShippingRowAmount(const PriceRow &row, unsigned long items)
{
    if (IsTicked(items, row.waivedBy))
        return 0.00;
    return IsTicked(items, row.item) ? row.second : row.first;
}

// Shipping charged on its own means nothing is ordered, so it shows as nothing.
bool IsShippingAlone(double total)
{
    for (const PriceRow &row : PriceTable)
        if (row.kind == ShippingRow && (total == row.first || total == row.second))
            return true;
    return false;
}

} // namespace

double SoftwareTotal(unsigned long items)
{
    double total = 0.00;
    for (const PriceRow &row : PriceTable) {
        if (row.kind == SoftwareRow)
            total += IsTicked(items, row.item) ? row.second : row.first;
        else if (row.kind == ShippingRow)
            total += ShippingRowAmount(row, items);
    }
    return IsShippingAlone(total) ? 0.00 : total;
}

double HardwareTotal(unsigned long items)
{
    double total = 0.00;
    for (const PriceRow &row : PriceTable) {
        if (row.kind != HardwareRow || !IsTicked(items, row.item))
            continue;
        total += row.second;
        if (!IsTicked(items, row.waivedBy))
            total += row.first;
    }
    return total;
}

double GrandTotal(double viewTotal, const char *otherTotalText)
{
    return std::atof(otherTotalText) + viewTotal;
}

void FormatMoney(double amount, char *text)
{
    std::sprintf(text, "%3.2f", amount);
}

std::size_t ListItemCharges(unsigned long items, ItemCharge *charges)
{
    std::size_t count = 0;
    for (const PriceRow &row : PriceTable) {
        if (row.kind == ShippingRow) {
            // The software total drops a shipping charge that stands alone.
            const unsigned long choice = IsTicked(items, row.item) ? row.item : 0;
            const bool charged = !IsTicked(items, row.waivedBy) && SoftwareTotal(items) != 0.00;
            charges[count++] = { choice, NameOf(choice), choice != 0 ? row.second : row.first,
                                 0.00, !charged };
        } else if (IsTicked(items, row.item)) {
            const bool hardware = row.kind == HardwareRow;
            charges[count++] = { row.item, NameOf(row.item), row.second,
                                 hardware ? row.first : 0.00,
                                 hardware && IsTicked(items, row.waivedBy) };
        }
    }
    return count;
}

// The price rules, without a window.
#include <gtest/gtest.h>

#include <string>

#include "catalogue.h"

namespace {

const unsigned long AllModules = ItemShapingModule | ItemRevisionModule | ItemProfileLibrary |
                                 ItemNotchPegLayout | ItemDxfOutput | ItemFormGenerator;
const unsigned long AllHardware = ItemCutter | ItemBow28 | ItemBow40 | ItemBow52 | ItemHotWire |
                                  ItemPowerSupply | ItemWireSet;

struct TotalCase {
    unsigned long items;
    double total;
};

class SoftwareTotalTest : public ::testing::TestWithParam<TotalCase> {};
class HardwareTotalTest : public ::testing::TestWithParam<TotalCase> {};

TEST_P(SoftwareTotalTest, AddsTheTickedItemsAndShipping)
{
    EXPECT_EQ(SoftwareTotal(GetParam().items), GetParam().total) << std::hex << GetParam().items;
}

TEST_P(HardwareTotalTest, AddsPricesAndTheShippingNotWaived)
{
    EXPECT_EQ(HardwareTotal(GetParam().items), GetParam().total) << std::hex << GetParam().items;
}

INSTANTIATE_TEST_SUITE_P(Cases, SoftwareTotalTest, ::testing::Values(
    TotalCase{ ItemBaseProgram, 39.00 },
    TotalCase{ ItemBaseProgram | ItemInternationalShipping, 41.00 },
    TotalCase{ 0, 0.00 },                                    // shipping alone shows as nothing
    TotalCase{ ItemInternationalShipping, 0.00 },
    TotalCase{ ItemBaseProgram | ItemUpgrade98, 58.00 },     // no shipping on upgrades
    TotalCase{ ItemUpgrade98, 22.00 },
    TotalCase{ ItemUpgradeOld | ItemInternationalShipping, 62.00 },
    TotalCase{ ItemBaseProgram | AllModules, 121.00 },
    TotalCase{ ItemBaseProgram | AllModules | ItemInternationalShipping, 123.00 },
    TotalCase{ ItemBaseProgram | AllModules | ItemUpgradeOld, 180.00 },
    TotalCase{ ItemDxfOutput, 13.00 },
    TotalCase{ AllHardware, 0.00 }));                         // hardware never counts here

INSTANTIATE_TEST_SUITE_P(Cases, HardwareTotalTest, ::testing::Values(
    TotalCase{ 0, 0.00 },
    TotalCase{ ItemCutter, 182.00 },
    TotalCase{ ItemCutter | ItemBow28, 221.50 },
    TotalCase{ ItemBow28, 52.00 },
    TotalCase{ ItemBow28 | ItemBow40, 109.00 },
    TotalCase{ ItemBow52, 62.00 },
    TotalCase{ ItemHotWire, 6.00 },
    TotalCase{ ItemHotWire | ItemBow28, 56.50 },
    TotalCase{ ItemHotWire | ItemWireSet, 29.00 },
    TotalCase{ ItemWireSet, 24.50 },
    TotalCase{ ItemWireSet | ItemBow28, 76.50 },             // a bow alone keeps the wire set's S&H
    TotalCase{ ItemWireSet | ItemPowerSupply, 160.50 },
    TotalCase{ ItemWireSet | ItemCutter, 202.00 },
    TotalCase{ ItemPowerSupply, 140.50 },                     // 6.00 S&H, not the label's 7.50
    TotalCase{ AllHardware, 480.50 },
    TotalCase{ AllHardware & ~ItemCutter, 336.00 },
    TotalCase{ ItemBaseProgram | AllModules | ItemInternationalShipping, 0.00 }));

TEST(GrandTotal, AddsTheOtherTotalAsShown)
{
    EXPECT_EQ(GrandTotal(39.00, "$0.00"), 39.00);    // the template's text counts as nothing
    EXPECT_EQ(GrandTotal(6.00, "39.00"), 45.00);
    EXPECT_EQ(GrandTotal(0.00, "  221.50"), 221.50);
    EXPECT_EQ(GrandTotal(1.50, ""), 1.50);
}

TEST(FormatMoney, ShowsTwoDecimalsWithoutSign)
{
    char text[MoneyTextSize];
    const struct { double amount; const char *shown; } cases[] = {
        { 0.00, "0.00" }, { 39.00, "39.00" }, { 221.50, "221.50" }, { 682.50, "682.50" },
    };
    for (const auto &c : cases) {
        FormatMoney(c.amount, text);
        EXPECT_STREQ(text, c.shown);
    }
}

} // namespace

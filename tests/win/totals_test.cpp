// The three totals on the live form, following clicks on the boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "live_form.h"
#include "resource.h"

namespace {

struct TotalsCase {
    const char *name;
    std::vector<int> softwareClicks;   // from the start: base program and USA shipping ticked
    std::vector<int> hardwareClicks;
    const char *software;
    const char *hardware;
    const char *grand;
};

const int AllModules[] = { 1017, 1018, 1019, 1020, 1021, 1022 };
const std::vector<int> AllHardware = { 1041, 1042, 1043, 1044, 1045, 1046, 1047 };

std::vector<int> With(std::vector<int> clicks, std::vector<int> more)
{
    clicks.insert(clicks.end(), more.begin(), more.end());
    return clicks;
}

const std::vector<int> Modules(std::begin(AllModules), std::end(AllModules));
const std::vector<int> NoBase = { 1016 };

const TotalsCase Cases[] = {
    { "AtStart", {}, {}, "39.00", "$0.00", "39.00" },
    { "NothingWithUsaShipping", NoBase, {}, "0.00", "$0.00", "0.00" },
    { "NothingWithInternationalShipping", { 1016, 1026 }, {}, "0.00", "$0.00", "0.00" },
    { "BaseWithInternationalShipping", { 1026 }, {}, "41.00", "$0.00", "41.00" },
    { "BaseAndUpgrade98", { 1023 }, {}, "58.00", "$0.00", "58.00" },
    { "Upgrade98Alone", { 1016, 1023 }, {}, "22.00", "$0.00", "22.00" },
    { "UpgradeOldAlone", { 1016, 1024 }, {}, "62.00", "$0.00", "62.00" },
    { "AllSevenUsa", Modules, {}, "121.00", "$0.00", "121.00" },
    { "AllSevenInternational", With(Modules, { 1026 }), {}, "123.00", "$0.00", "123.00" },
    { "AllSevenAndUpgradeOld", With(Modules, { 1024 }), {}, "180.00", "$0.00", "180.00" },
    { "NoHardwareAfterANotification", NoBase, { 1041, 1041 }, "0.00", "0.00", "0.00" },
    { "Cutter", NoBase, { 1041 }, "0.00", "182.00", "182.00" },
    { "CutterAnd28InchBow", NoBase, { 1041, 1042 }, "0.00", "221.50", "221.50" },
    { "Bow28Alone", NoBase, { 1042 }, "0.00", "52.00", "52.00" },
    { "Bows28And40", NoBase, { 1042, 1043 }, "0.00", "109.00", "109.00" },
    { "HotWireAlone", NoBase, { 1045 }, "0.00", "6.00", "6.00" },
    { "HotWireAndBow28", NoBase, { 1045, 1042 }, "0.00", "56.50", "56.50" },
    { "HotWireAndWireSet", NoBase, { 1045, 1047 }, "0.00", "29.00", "29.00" },
    { "WireSetAlone", NoBase, { 1047 }, "0.00", "24.50", "24.50" },
    { "WireSetAndBow28", NoBase, { 1047, 1042 }, "0.00", "76.50", "76.50" },
    { "WireSetAndPowerSupply", NoBase, { 1047, 1046 }, "0.00", "160.50", "160.50" },
    { "PowerSupplyAlone", NoBase, { 1046 }, "0.00", "140.50", "140.50" },
    { "AllHardware", NoBase, AllHardware, "0.00", "480.50", "480.50" },
    { "AllHardwareButTheCutter", NoBase, { 1042, 1043, 1044, 1045, 1046, 1047 }, "0.00", "336.00", "336.00" },
    { "HardwareAddsToTheSoftwareShown", {}, { 1045 }, "39.00", "6.00", "45.00" },
};

class LiveTotals : public LiveForm, public ::testing::WithParamInterface<TotalsCase> {};

TEST_P(LiveTotals, FollowTheClicks)
{
    const TotalsCase &c = GetParam();
    for (int id : c.softwareClicks)
        Click(id);
    if (!c.hardwareClicks.empty()) {
        Click(IDC_VIEW_TOGGLE);
        for (int id : c.hardwareClicks)
            Click(id);
    }
    EXPECT_EQ(Text(IDC_SOFTWARE_TOTAL), c.software);
    EXPECT_EQ(Text(IDC_HARDWARE_TOTAL), c.hardware);
    EXPECT_EQ(Text(IDC_GRAND_TOTAL), c.grand);
}

INSTANTIATE_TEST_SUITE_P(Cases, LiveTotals, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<TotalsCase> &info) { return info.param.name; });

TEST_F(LiveForm, SoftwareClickAddsTheHardwareTotalAsShown)
{
    Click(IDC_VIEW_TOGGLE);
    Click(IDC_CUTTER);
    Click(IDC_VIEW_TOGGLE);
    Click(IDC_SHIP_INTERNATIONAL);
    EXPECT_EQ(Text(IDC_SOFTWARE_TOTAL), "41.00");
    EXPECT_EQ(Text(IDC_GRAND_TOTAL), "223.00");
}

} // namespace

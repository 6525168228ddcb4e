// The form's set-up and routing, driven with real messages on the live form.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "live_form.h"
#include "message_box_watch.h"
#include "resource.h"

namespace {

const int SoftwareView[] = { 1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023, 1024, 1012, 1025, 1026 };
const int HardwareView[] = { 1041, 1042, 1043, 1044, 1045, 1046, 1047, 1010 };

using ControllerTest = LiveForm;

TEST_F(ControllerTest, StartsInTheSoftwareViewWithTheBaseProgramAndUsaShipping)
{
    for (int id : SoftwareView)
        EXPECT_TRUE(IsShown(id)) << id;
    for (int id : HardwareView)
        EXPECT_FALSE(IsShown(id)) << id;
    EXPECT_FALSE(IsShown(IDC_STAGING));
    EXPECT_EQ(Focus(), Item(IDC_BASE_PROGRAM));
    EXPECT_TRUE(IsTicked(IDC_BASE_PROGRAM));
    EXPECT_TRUE(IsTicked(IDC_SHIP_USA));
    EXPECT_FALSE(IsTicked(IDC_SHIP_INTERNATIONAL));
    EXPECT_EQ(Text(IDC_SOFTWARE_TOTAL), "39.00");
    EXPECT_EQ(Text(IDC_HARDWARE_TOTAL), "$0.00");
    EXPECT_EQ(Text(IDC_GRAND_TOTAL), "39.00");
    EXPECT_TRUE(IsEnabled(IDC_CARD_NUMBER));
    EXPECT_EQ(Text(IDC_INSTRUCTIONS),
              "- Fill in the items below.  Click on [Send Order] when you are finished. Your email browser "
              "should start with\n  your encrypted order in the body of your email. If the line <=Do not "
              "alter anything above this line\n does not appear in your email, click on the end of the "
              "text ane press CTRL-V");
    EXPECT_EQ(Text(IDC_SHIPPING_NOTES),
              "Shipping prices are for shipment within the continental US.  Contact Quillon Softare for "
              "international shipping quotes.\n*Note - Free S&&H on extra bows when purchased with the "
              "O/V.  Free S&&H on K240 hot wire and R/M wire set when purchased with a O/V, R/M, or extra "
              "bows.");
}

TEST_F(ControllerTest, FormCarriesItsIcons)
{
    EXPECT_NE(SendMessageA(form_, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageA(form_, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(ControllerTest, ViewToggleSwapsTheItemsAndKeepsEveryTick)
{
    Click(IDC_SHAPING_MODULE);
    Click(IDC_VIEW_TOGGLE);
    EXPECT_EQ(Text(IDC_VIEW_TOGGLE), "Click For Tessaro Items");
    for (int id : SoftwareView)
        EXPECT_FALSE(IsShown(id)) << id;
    for (int id : HardwareView)
        EXPECT_TRUE(IsShown(id)) << id;

    Click(IDC_BOW_28);
    Click(IDC_VIEW_TOGGLE);
    EXPECT_EQ(Text(IDC_VIEW_TOGGLE), "Click For Orvik Items");
    for (int id : SoftwareView)
        EXPECT_TRUE(IsShown(id)) << id;
    for (int id : HardwareView)
        EXPECT_FALSE(IsShown(id)) << id;
    EXPECT_FALSE(IsShown(IDC_STAGING));
    EXPECT_TRUE(IsTicked(IDC_SHAPING_MODULE));
    EXPECT_TRUE(IsTicked(IDC_BOW_28));
    EXPECT_EQ(Text(IDC_GRAND_TOTAL), "112.00");   // 36 + 21 + 3 shipping, and 52.00 of hardware
}

TEST_F(ControllerTest, TickingOneUpgradeUnticksTheOther)
{
    Click(IDC_UPGRADE_98);
    Click(IDC_UPGRADE_OLD);
    EXPECT_TRUE(IsTicked(IDC_UPGRADE_OLD));
    EXPECT_FALSE(IsTicked(IDC_UPGRADE_98));
    EXPECT_EQ(Text(IDC_SOFTWARE_TOTAL), "98.00");

    Click(IDC_UPGRADE_98);
    EXPECT_TRUE(IsTicked(IDC_UPGRADE_98));
    EXPECT_FALSE(IsTicked(IDC_UPGRADE_OLD));
    EXPECT_EQ(Text(IDC_SOFTWARE_TOTAL), "58.00");

    Click(IDC_UPGRADE_98);
    EXPECT_FALSE(IsTicked(IDC_UPGRADE_98));
    EXPECT_FALSE(IsTicked(IDC_UPGRADE_OLD));
    EXPECT_TRUE(IsTicked(IDC_BASE_PROGRAM));
    EXPECT_EQ(Text(IDC_SOFTWARE_TOTAL), "39.00");
}

TEST_F(ControllerTest, ClearEmptiesAndUnlocksOnlyTheCardField)
{
    SetText(IDC_CARD_NUMBER, "4111111111111111");
    SetText(IDC_NAME, "Ann");
    EnableWindow(Item(IDC_CARD_NUMBER), FALSE);
    Click(IDC_CLEAR);
    EXPECT_EQ(Text(IDC_CARD_NUMBER), "");
    EXPECT_TRUE(IsEnabled(IDC_CARD_NUMBER));
    EXPECT_EQ(Text(IDC_NAME), "Ann");
    EXPECT_TRUE(IsTicked(IDC_BASE_PROGRAM));
}

// Software boxes, radios and the send buttons answer clicks only; the hardware boxes,
// the view toggle and Clear answer any notification.
TEST_F(ControllerTest, NotificationsOtherThanClicksAreIgnoredWhereOnlyClicksCount)
{
    MessageBoxWatch watch({});
    SetTicked(IDC_SHAPING_MODULE, true);
    SetTicked(IDC_UPGRADE_98, true);
    SetTicked(IDC_UPGRADE_OLD, true);
    for (int id : { IDC_SHAPING_MODULE, IDC_UPGRADE_98, IDC_UPGRADE_OLD, IDC_SHIP_INTERNATIONAL,
                    IDC_SEND_ORDER, IDC_AOL })
        Notify(id, BN_DOUBLECLICKED);
    Notify(IDC_CARD_NUMBER, EN_CHANGE);
    EXPECT_EQ(Text(IDC_SOFTWARE_TOTAL), "39.00");
    EXPECT_TRUE(IsTicked(IDC_UPGRADE_98));
    EXPECT_TRUE(IsTicked(IDC_UPGRADE_OLD));
    EXPECT_TRUE(watch.boxes().empty());

    SetTicked(IDC_CUTTER, true);
    Notify(IDC_CUTTER, BN_DOUBLECLICKED);
    EXPECT_EQ(Text(IDC_HARDWARE_TOTAL), "182.00");
    Notify(IDC_VIEW_TOGGLE, BN_DOUBLECLICKED);
    EXPECT_TRUE(IsShown(IDC_CUTTER));
    SetText(IDC_CARD_NUMBER, "12");
    Notify(IDC_CLEAR, BN_DOUBLECLICKED);
    EXPECT_EQ(Text(IDC_CARD_NUMBER), "");
}

TEST_F(ControllerTest, TabVisitsTheHardwareBoxesInTemplateOrder)
{
    Click(IDC_VIEW_TOGGLE);
    SetFocus(Item(IDC_VIEW_TOGGLE));
    std::vector<int> visited;
    for (int i = 0; i < 8; ++i) {
        PressKey(form_, VK_TAB);
        visited.push_back(GetDlgCtrlID(Focus()));
    }
    EXPECT_EQ(visited, (std::vector<int>{ 1041, 1043, 1044, 1045, 1042, 1046, 1047, 1035 }));
}

// The platform makes a radio button a tab stop while it is checked, so the shipping
// choice stays in reach of the keyboard.
TEST_F(ControllerTest, TabGoesFromTheLastUpgradeByTheCheckedRadioToTheComments)
{
    SetFocus(Item(IDC_UPGRADE_OLD));
    PressKey(form_, VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(Focus()), IDC_SHIP_USA);
    PressKey(form_, VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(Focus()), IDC_COMMENTS);
}

TEST_F(ControllerTest, TabNeverStopsOnTheHiddenStagingField)
{
    SetFocus(Item(IDC_VIEW_TOGGLE));
    PressKey(form_, VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(Focus()), IDC_BASE_PROGRAM);
}

TEST_F(ControllerTest, CloseBoxDeletesTheControllerBeforeTheCardFieldLosesTheFocus)
{
    MessageBoxWatch watch({});
    SetFocus(Item(IDC_CARD_NUMBER));
    SetText(IDC_CARD_NUMBER, "123");
    SendMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages(form_);
    EXPECT_FALSE(IsWindow(form_));
    EXPECT_TRUE(watch.boxes().empty());
}

} // namespace

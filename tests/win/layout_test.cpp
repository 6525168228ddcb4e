// The form's template, created as it stands, against the layout the form must have.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "live_form.h"
#include "resource.h"

namespace {

struct ExpectedControl {
    int id;
    const char *className;
    DWORD style;
    const char *text;
    RECT dialogUnits;   // left, top, width, height
};

const DWORD Child = WS_CHILD | WS_VISIBLE;

const ExpectedControl Layout[] = {
    { 1014, "Edit", WS_CHILD | WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL | ES_WANTRETURN, "", { 6, 7, 441, 12 } },
    { -1, "Button", Child | BS_GROUPBOX, "Order options  - Click button below for more", { 6, 51, 198, 211 } },
    { 1016, "Button", Child | WS_TABSTOP | BS_AUTOCHECKBOX, "Base Program $36 (required for new purchases)", { 20, 89, 165, 10 } },
    { 1017, "Button", Child | WS_TABSTOP | BS_AUTOCHECKBOX, "Shaping Module $21", { 20, 99, 77, 10 } },
    { 1018, "Button", Child | WS_TABSTOP | BS_AUTOCHECKBOX, "Revision Module $14", { 20, 109, 93, 10 } },
    { 1019, "Button", Child | WS_TABSTOP | BS_AUTOCHECKBOX, "Profile Library $13", { 20, 119, 69, 10 } },
    { 1020, "Button", Child | WS_TABSTOP | BS_AUTOCHECKBOX, "Notch/Peg Layout $13", { 20, 129, 89, 10 } },
    { 1021, "Button", Child | WS_TABSTOP | BS_AUTOCHECKBOX, "DXF output $10", { 20, 139, 66, 10 } },
    { 1022, "Button", Child | WS_TABSTOP | BS_AUTOCHECKBOX, "Form Generator $11", { 20, 149, 83, 10 } },
    { 1023, "Button", Child | WS_TABSTOP | BS_AUTOCHECKBOX, "Upgrade from Tessaro98 to Tessaro2000 $22", { 20, 163, 173, 10 } },
    { 1024, "Button", Child | WS_TABSTOP | BS_AUTOCHECKBOX, "Upgrade from Tessaro to Tessaro2000 $62", { 20, 172, 173, 10 } },
    { 1012, "Static", Child | WS_GROUP | SS_LEFT, "(Shipping for new orders only, not for upgrades)", { 24, 185, 156, 8 } },
    { 1025, "Button", Child | WS_GROUP | BS_AUTORADIOBUTTON, "Shipping in USA $3", { 20, 196, 77, 10 } },
    { 1026, "Button", Child | BS_AUTORADIOBUTTON, "International Shipping $5", { 20, 204, 94, 10 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "Tessaro Items", { 36, 222, 52, 8 } },
    { 1028, "Static", Child | WS_GROUP | SS_RIGHT, "$0.00", { 102, 222, 28, 8 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "Comments", { 230, 218, 34, 8 } },
    { 1035, "Edit", Child | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN, "", { 265, 213, 104, 44 } },
    { -1, "Button", Child | BS_GROUPBOX, "Opder  Information", { 212, 51, 165, 211 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "CC Number", { 240, 69, 37, 8 } },
    { 1029, "Edit", Child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, "", { 220, 78, 95, 14 } },
    { 1030, "Edit", Child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, "", { 328, 78, 40, 14 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "Name", { 244, 114, 20, 8 } },
    { 1031, "Edit", Child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, "", { 266, 110, 102, 14 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "Address", { 238, 130, 26, 8 } },
    { 1032, "Edit", Child | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL | ES_WANTRETURN, "", { 266, 128, 103, 47 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "Phone Number", { 216, 180, 48, 8 } },
    { 1033, "Edit", Child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, "", { 266, 178, 103, 14 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "Email Address*", { 216, 198, 50, 8 } },
    { 1034, "Edit", Child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, "", { 266, 195, 104, 14 } },
    { 1015, "Button", Child | WS_TABSTOP | BS_PUSHBUTTON, "Clear", { 286, 66, 27, 11 } },
    { 1027, "Button", Child | WS_TABSTOP | BS_DEFPUSHBUTTON, "Send Order", { 384, 14, 63, 17 } },
    { 1040, "Button", Child | WS_TABSTOP | BS_PUSHBUTTON, "Use this for AOL", { 384, 36, 63, 17 } },
    { 2, "Button", Child | WS_TABSTOP | BS_PUSHBUTTON, "Cancel", { 384, 58, 63, 17 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "Exp Date", { 332, 69, 30, 8 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "* Note, your email address will remain private.  It will not be sold or used for spam purposes .", { 388, 145, 53, 69 } },
    { -1, "Static", Child | SS_ETCHEDHORZ, "", { 14, 218, 185, 1 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "mm/yy", { 336, 94, 22, 8 } },
    { 1001, "Static", Child | WS_GROUP | SS_LEFT, "", { 12, 10, 356, 25 } },
    { -1, "Button", Child | BS_GROUPBOX, "Instructions", { 8, 2, 366, 49 } },
    { -1, "Static", Child | SS_BLACKRECT, "", { 218, 104, 152, 1 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "- If you are using AOL, press CTRL-V where you would normally type your message to insert the order.", { 11, 37, 354, 8 } },
    { 1011, "Button", Child | WS_TABSTOP | BS_PUSHBUTTON, "Click For Orvik Items", { 47, 65, 117, 14 } },
    { 1041, "Button", WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, "Orvik (O/V) w/ 28\" bow $169.50+$12.50 S&&H", { 20, 89, 178, 10 } },
    { 1043, "Button", WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, "40\" Bow $$44.50+$12.50 S&&H", { 20, 109, 113, 10 } },
    { 1044, "Button", WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, "52\" Bow $49.50+$12.50 S&&H", { 20, 119, 109, 10 } },
    { 1045, "Button", WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, "K240 Hot Wire-8' spool $4.50+$1.50 S&&H", { 20, 129, 147, 10 } },
    { 1042, "Button", WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, "28\" Bow $39.50+$12.50 S&&H", { 20, 99, 109, 10 } },
    { 1046, "Button", WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, "O/V  Power Supply $134.50+$7.50 S&&H", { 20, 139, 141, 10 } },
    { 1047, "Button", WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, "Wire Set to connect R/M to O/V $20.00+$4.50 S&&H", { 20, 149, 179, 10 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "Orvik Item", { 39, 232, 49, 8 } },
    { 1008, "Static", Child | WS_GROUP | SS_RIGHT, "$0.00", { 102, 232, 28, 8 } },
    { -1, "Static", Child | WS_GROUP | SS_LEFT, "Grand Total", { 49, 249, 38, 8 } },
    { -1, "Static", Child | SS_BLACKFRAME, "", { 23, 243, 113, 1 } },
    { 1009, "Static", Child | WS_GROUP | SS_RIGHT, "$0.00", { 102, 248, 28, 8 } },
    { 1010, "Static", WS_CHILD | WS_BORDER | WS_GROUP | SS_LEFT | SS_SUNKEN, "", { 12, 160, 190, 56 } },
    { -1, "Static", Child | SS_ETCHEDHORZ, "", { 13, 84, 184, 1 } },
};

// Leaves the template's controls exactly as it created them.
INT_PTR CALLBACK TemplateOnlyProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

std::string ClassName(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT ClientRectOf(HWND control, HWND dialog)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(NULL, dialog, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

// The dialog manager converts origin and size separately, so their roundings add up.
RECT PixelsOf(HWND dialog, const RECT &units)
{
    RECT origin = { units.left, units.top, 0, 0 };
    RECT size = { units.right, units.bottom, 0, 0 };
    MapDialogRect(dialog, &origin);
    MapDialogRect(dialog, &size);
    return { origin.left, origin.top, origin.left + size.left, origin.top + size.top };
}

bool IsStatic(const ExpectedControl &expected)
{
    return lstrcmpiA(expected.className, "Static") == 0;
}

bool IsEtchedLine(const ExpectedControl &expected)
{
    return IsStatic(expected) && (expected.style & SS_TYPEMASK) == SS_ETCHEDHORZ;
}

// The dialog manager gives every control WS_EX_NOPARENTNOTIFY and draws a border as
// a sunken client edge; the static control draws etched and sunken frames as a static edge.
DWORD LiveStyle(const ExpectedControl &expected)
{
    return expected.style & ~WS_BORDER;
}

DWORD LiveExtendedStyle(const ExpectedControl &expected)
{
    DWORD extended = WS_EX_NOPARENTNOTIFY;
    if (expected.style & WS_BORDER)
        extended |= WS_EX_CLIENTEDGE;
    if (IsStatic(expected) && ((expected.style & SS_SUNKEN) || IsEtchedLine(expected)))
        extended |= WS_EX_STATICEDGE;
    return extended;
}

// The static control widens an etched line by its edge.
RECT LiveRect(HWND dialog, const ExpectedControl &expected)
{
    RECT rect = PixelsOf(dialog, expected.dialogUnits);
    if (IsEtchedLine(expected))
        rect.right += 2;
    return rect;
}

::testing::AssertionResult SameRect(const RECT &actual, const RECT &expected)
{
    if (EqualRect(&actual, &expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << "at (" << actual.left << "," << actual.top << ")-(" << actual.right << "," << actual.bottom
        << "), expected (" << expected.left << "," << expected.top << ")-(" << expected.right << ","
        << expected.bottom << ")";
}

class TemplateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog_ = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_ORDER_FORM), NULL,
                                     TemplateOnlyProc, 0);
        ASSERT_NE(dialog_, (HWND)NULL);
    }
    void TearDown() override { DestroyWindow(dialog_); }

    HWND dialog_ = NULL;
};

TEST_F(TemplateTest, DialogIsAFixedSizeTopLevelWindow)
{
    LONG style = GetWindowLongA(dialog_, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                       WS_THICKFRAME | WS_VISIBLE | DS_MODALFRAME),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE);
    EXPECT_EQ(GetWindowLongA(dialog_, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE & ~WS_EX_CONTROLPARENT, 0);
    EXPECT_EQ(ClassName(dialog_), "#32770");
    EXPECT_EQ(WindowText(dialog_), "Order Tessaro v1.26");
    EXPECT_EQ(GetMenu(dialog_), (HMENU)NULL);

    RECT client;
    GetClientRect(dialog_, &client);
    EXPECT_TRUE(SameRect(client, PixelsOf(dialog_, { 0, 0, 458, 271 })));
    POINT clientOrigin = { 0, 0 };
    ClientToScreen(dialog_, &clientOrigin);
    RECT origin = PixelsOf(dialog_, { 20, 40, 0, 0 });
    EXPECT_EQ(clientOrigin.x, origin.left);
    EXPECT_EQ(clientOrigin.y, origin.top);

    LOGFONTA font;
    ASSERT_NE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog_, WM_GETFONT, 0, 0)), sizeof font, &font), 0);
    EXPECT_STREQ(font.lfFaceName, "Helv");
}

TEST_F(TemplateTest, ControlsAreThoseOfTheLayoutInCreationOrder)
{
    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    ASSERT_EQ(controls.size(), sizeof Layout / sizeof Layout[0]);

    for (size_t i = 0; i < controls.size(); ++i) {
        const ExpectedControl &expected = Layout[i];
        HWND control = controls[i];
        SCOPED_TRACE(::testing::Message() << "control #" << i + 1 << " (id " << expected.id << ")");
        EXPECT_EQ(GetDlgCtrlID(control), static_cast<WORD>(expected.id));
        EXPECT_STRCASEEQ(ClassName(control).c_str(), expected.className);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE)), LiveStyle(expected));
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE)), LiveExtendedStyle(expected));
        EXPECT_EQ(WindowText(control), expected.text);
        EXPECT_TRUE(SameRect(ClientRectOf(control, dialog_), LiveRect(dialog_, expected)));
    }
}

TEST_F(TemplateTest, FormCarriesBothIconsAsSixteenColourImages)
{
    for (int id : { IDI_FORM_BIG, IDI_FORM_SMALL }) {
        HRSRC group = FindResourceA(NULL, MAKEINTRESOURCEA(id), RT_GROUP_ICON);
        ASSERT_NE(group, (HRSRC)NULL) << id;
        const BYTE *directory = static_cast<const BYTE *>(LockResource(LoadResource(NULL, group)));
        int imageId = LookupIconIdFromDirectoryEx(const_cast<BYTE *>(directory), TRUE, 32, 32, 0);
        HRSRC image = FindResourceA(NULL, MAKEINTRESOURCEA(imageId), RT_ICON);
        ASSERT_NE(image, (HRSRC)NULL) << id;
        EXPECT_EQ(SizeofResource(NULL, image), 744u) << id;
        const BITMAPINFOHEADER *header =
            static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(NULL, image)));
        EXPECT_EQ(header->biWidth, 32);
        EXPECT_EQ(header->biHeight, 64);
        EXPECT_EQ(header->biBitCount, 4);
    }
}

} // namespace

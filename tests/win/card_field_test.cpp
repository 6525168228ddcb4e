// The card number field on the live form: stripped and checked whenever it loses the focus.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "live_form.h"
#include "message_box_watch.h"
#include "resource.h"

namespace {

const char CardQuestion[] = "There appears to be an error in your Card Number. Change it?";

class CardFieldTest : public LiveForm {
protected:
    // Types a text into the field and moves on to the next one, as the customer does.
    void EnterCard(const char *text)
    {
        SetFocus(Item(IDC_CARD_NUMBER));
        SetText(IDC_CARD_NUMBER, text);
        SetFocus(Item(IDC_EXPIRY_DATE));
        PumpMessages(form_);
    }

    static void ExpectOneCardQuestion(const MessageBoxWatch &watch)
    {
        ASSERT_EQ(watch.boxes().size(), 1u);
        const MessageBoxRecord &box = watch.boxes()[0];
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.text, CardQuestion);
        EXPECT_EQ(box.buttons, (std::vector<int>{ IDYES, IDNO }));
        EXPECT_FALSE(box.hasOwner);
    }
};

TEST_F(CardFieldTest, ValidNumberIsStrippedAndLocksTheField)
{
    MessageBoxWatch watch({});
    EnterCard(" 4111-1111 1111-1111 ");
    EXPECT_EQ(Text(IDC_CARD_NUMBER), "4111111111111111");
    EXPECT_FALSE(IsEnabled(IDC_CARD_NUMBER));
    EXPECT_TRUE(watch.boxes().empty());
}

TEST_F(CardFieldTest, YesGivesTheFocusBackToTheStrippedField)
{
    MessageBoxWatch watch({ IDYES });
    EnterCard("4111-1111-1111-1112x");
    ExpectOneCardQuestion(watch);
    EXPECT_EQ(Text(IDC_CARD_NUMBER), "4111111111111112");
    EXPECT_TRUE(IsEnabled(IDC_CARD_NUMBER));
    EXPECT_EQ(Focus(), Item(IDC_CARD_NUMBER));
}

TEST_F(CardFieldTest, NoLeavesTheStrippedFieldEditable)
{
    MessageBoxWatch watch({ IDNO });
    EnterCard("12-34 ab");
    ExpectOneCardQuestion(watch);
    EXPECT_EQ(Text(IDC_CARD_NUMBER), "1234");
    EXPECT_TRUE(IsEnabled(IDC_CARD_NUMBER));
    EXPECT_EQ(Focus(), Item(IDC_EXPIRY_DATE));
}

TEST_F(CardFieldTest, ClearUnlocksAndTheEmptyFieldIsAskedAboutAgain)
{
    MessageBoxWatch watch({ IDNO });
    EnterCard("5500 0000 0000 0004");
    ASSERT_FALSE(IsEnabled(IDC_CARD_NUMBER));
    Click(IDC_CLEAR);
    EXPECT_TRUE(IsEnabled(IDC_CARD_NUMBER));
    EXPECT_EQ(Text(IDC_CARD_NUMBER), "");
    EXPECT_TRUE(watch.boxes().empty());

    EnterCard("");
    ExpectOneCardQuestion(watch);
}

// The field takes no more than the check reads; a longer text set from outside is
// still read safely, its first 99 characters only.
TEST_F(CardFieldTest, TextLongerThanWhatIsReadIsHandledSafely)
{
    EXPECT_EQ(SendMessageA(Item(IDC_CARD_NUMBER), EM_GETLIMITTEXT, 0, 0), 99);

    MessageBoxWatch watch({ IDNO });
    std::string text = std::string(98, ' ') + "41111111111111111111";
    EnterCard(text.c_str());
    ExpectOneCardQuestion(watch);
    EXPECT_EQ(Text(IDC_CARD_NUMBER), "4");
}

} // namespace

// Every text the program shows from code, in one place.
#include "texts.h"
#include "order_line.h"
#include "resource.h"

// ORDERFORM_SALES_ADDRESS comes from the build: vendors build the form with their own.
const char SalesAddress[] = ORDERFORM_SALES_ADDRESS;
const char OrderSubject[] = "Tessaro Order";

const char ErrorCaption[] = "Error";
const char ExceptionCaption[] = "Exception";
const char CreateDialogCaption[] = "CreateDialog";
const char InstructionsCaption[] = "Instructions";

const char CreateDialogErrorFormat[] = "Error x%x";
const char OutOfMemoryText[] = "Out of memory";
const char UnknownExceptionText[] = "Unknown";

const char InstructionsText[] =
    "- Fill in the items below.  Click on [Send Order] when you are finished. "
    "Your email browser should start with\n"
    "  your encrypted order in the body of your email. "
    "If the line " ORDER_TRAILER_TEXT "\n"
    " does not appear in your email, click on the end of the text ane press CTRL-V";

const char ShippingNotesText[] =
    "Shipping prices are for shipment within the continental US.  "
    "Contact Quillon Softare for international shipping quotes.\n"
    "*Note - Free S&&H on extra bows when purchased with the O/V.  "
    "Free S&&H on K240 hot wire and R/M wire set when purchased with a O/V, R/M, or extra bows.";

const char ShowSoftwareViewText[] = "Click For Tessaro Items";
const char ShowHardwareViewText[] = SHOW_HARDWARE_VIEW_TEXT;

const char CardErrorQuestion[] = "There appears to be an error in your Card Number. Change it?";
const char BothUpgradesText[] = "Only one upgrade is needed, both are checked";
const char BaseProgramWithUpgradeText[] = "The base program is not normally needed for an upgrade";

const char AolInstructionsText[] =
    "Instructions:\nStart a regular email through AOL, entering "
    ORDERFORM_SALES_ADDRESS
    " in the 'Send To:' field.  Click in the area where you normally type in the message, "
    "then press CTRL-V key combination to paste in the encrypted text.";

const char NoMailProgramText[] =
    "No mail program could be started.\n\n"
    "Your order is on the clipboard: start a new e-mail to "
    ORDERFORM_SALES_ADDRESS
    " and paste the order into the message with CTRL-V.";

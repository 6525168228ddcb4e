// Reads the whole form into the values that make up the order line.
#include "order_form.h"

#include "catalogue.h"

// The line's card head and tail come from the start of the field.
static const int CardTextReadSize = 50;

// The fields in the order the line carries them.
Control OrderForm::*const OrderForm::OrderFields[] = {
    &OrderForm::m_expiryDate, &OrderForm::m_name, &OrderForm::m_address,
    &OrderForm::m_phone, &OrderForm::m_email, &OrderForm::m_comments,
};

void OrderForm::BuildOrderText()
{
    char grandTotal[MoneyTextSize];
    m_grandTotal.GetText(grandTotal, sizeof grandTotal);
    char card[CardTextReadSize];
    m_cardNumber.GetText(card, sizeof card);
    char fields[FieldCount][FieldTextLimit + 1];
    OrderValues values = { ReadItemMask(), grandTotal, card, {} };
    for (size_t i = 0; i < FieldCount; ++i) {
        (this->*OrderFields[i]).GetText(fields[i], sizeof fields[i]);
        values.fields[i] = fields[i];
    }
    BuildOrderLine(values, g_orderText);
}

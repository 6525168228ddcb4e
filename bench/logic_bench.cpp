// The cost of the form's window-free work for one event: a totals update, a card check
// and an order line, beside the library formatting that each of them cannot do without.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "card_check.h"
#include "catalogue.h"
#include "order_line.h"

namespace {

const unsigned long SoftwareOrder = ItemBaseProgram | ItemShapingModule | ItemDxfOutput | ItemInternationalShipping;
const unsigned long HardwareOrder = ItemCutter | ItemBow40 | ItemHotWire | ItemWireSet;
const char HardwareTotalShown[] = "258.00";

// Inputs are read through volatile objects, so the compiler cannot fold them into the
// code under test; results go to DoNotOptimize or, for buffers, past ClobberMemory.
volatile unsigned long g_softwareOrder = SoftwareOrder;
volatile unsigned long g_hardwareOrder = HardwareOrder;
volatile double g_amount = 119.0;

void SoftwareTotalOf(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(SoftwareTotal(g_softwareOrder));
}
BENCHMARK(SoftwareTotalOf);

void HardwareTotalOf(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(HardwareTotal(g_hardwareOrder));
}
BENCHMARK(HardwareTotalOf);

// What one click on a software box computes between reading the ticks and writing the
// two totals' texts; the grand total adds the other view's total as it is shown.
void TotalsUpdate(benchmark::State &state)
{
    char viewText[MoneyTextSize];
    char grandText[MoneyTextSize];
    for (auto _ : state) {
        const double total = SoftwareTotal(g_softwareOrder);
        FormatMoney(total, viewText);
        FormatMoney(GrandTotal(total, HardwareTotalShown), grandText);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(TotalsUpdate);

// The floor of a totals update: its one unavoidable library call, a money text.
void FormatMoneyFloor(benchmark::State &state)
{
    char text[MoneyTextSize];
    for (auto _ : state) {
        std::snprintf(text, sizeof text, "%3.2f", g_amount);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(FormatMoneyFloor);

void CardCheck(benchmark::State &state, const char *cardText)
{
    for (auto _ : state) {
        int issuer = 0;
        benchmark::DoNotOptimize(CheckCardNumber(cardText, issuer));
    }
}
BENCHMARK_CAPTURE(CardCheck, visa_16_digits, "4111111111111111");
BENCHMARK_CAPTURE(CardCheck, visa_with_blanks, "4111 1111 1111 1111");
BENCHMARK_CAPTURE(CardCheck, unknown_issuer, "9111111111111111");
BENCHMARK_CAPTURE(CardCheck, longest_digits, "4111111111111111111111111111");

struct OrderFixture {
    const char *grandTotal;
    const char *card;
    const char *fields[FieldCount];
};

const OrderFixture TypicalOrder = {
    "119.00", "4111111111111111",
    { "08/27", "Pat Example", "12 Main Street\r\nSpringfield", "555-0100", "pat@example.com", "" },
};

// Every field at the length the line carries, with the line breaks and the "#" that the
// encoder replaces.
const char LongField[] =
    "#1 long text\r\n#2 long text\r\n#3 long text\r\n#4 long text\r\n#5 long text\r\n"
    "#6 long text\r\n#7 long text\r\n#8 long text\r\n#9 long text\r\n#10 long text\r\n#11 long";
static_assert(sizeof LongField - 1 == FieldTextLimit, "the long field fills what the line carries");

const OrderFixture LongestOrder = {
    "99999.99", "4111111111111111111111111111",
    { LongField, LongField, LongField, LongField, LongField, LongField },
};

void OrderLine(benchmark::State &state, const OrderFixture &fixture)
{
    OrderValues values = { SoftwareOrder | HardwareOrder, fixture.grandTotal, fixture.card, {} };
    std::memcpy(values.fields, fixture.fields, sizeof values.fields);
    char line[OrderTextSize];
    for (auto _ : state) {
        BuildOrderLine(values, line);
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(OrderLine, typical, TypicalOrder);
BENCHMARK_CAPTURE(OrderLine, longest, LongestOrder);

// The floor of an order line: its header, one formatting call.
void OrderHeaderFloor(benchmark::State &state)
{
    char header[HeaderLimit + 1];
    for (auto _ : state) {
        std::snprintf(header, sizeof header, "X26---%li^%03.2f^%li^%li^", 130815L, g_amount, 30722282L, 82214610L);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(OrderHeaderFloor);

}  // namespace

BENCHMARK_MAIN();

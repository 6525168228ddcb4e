// What the reader tells the vendor about the orders it found: plain text for people, JSON
// for scripts, the same warnings and notes in both. Native.
#ifndef ORDERLINE_ORDER_REPORT_H
#define ORDERLINE_ORDER_REPORT_H

#include "order_reader.h"

#include <string>
#include <vector>

struct InputOrders {
    std::string name;                   // the file, or the standard input
    std::vector<OrderReading> orders;
};

// Why a line could not be read whole; empty for a valid order.
std::string ProblemText(const OrderReading &order);

// What the vendor must look at before taking the order.
std::vector<std::string> OrderWarnings(const OrderReading &order);

// What the reader did or assumed that the vendor may want to know.
std::vector<std::string> OrderNotes(const OrderReading &order);

std::string FormatPlain(const std::vector<InputOrders> &inputs);
std::string FormatJson(const std::vector<InputOrders> &inputs);

std::size_t CountValid(const std::vector<InputOrders> &inputs);

#endif

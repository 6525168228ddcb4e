// The form's texts are Windows-1252 (ANSI) bytes; mail brings them as UTF-8 or as they are.
// Native: no window, no platform API.
#ifndef ORDERLINE_ANSI_TEXT_H
#define ORDERLINE_ANSI_TEXT_H

#include <cstddef>
#include <string>
#include <vector>

std::string AnsiToUtf8(const std::string &ansi);

// Decodes UTF-8 into Windows-1252. False, with ansi unspecified, when utf8 is no valid
// UTF-8 or holds a character the code page lacks. ends, when given, receives for each
// character the offset in utf8 just past it.
bool Utf8ToAnsi(const std::string &utf8, std::string &ansi,
                std::vector<std::size_t> *ends = nullptr);

#endif

// Numbers written as text into a buffer of the caller's, with no allocation
// and no terminator: each writer returns where its text ends.
#ifndef TACTIVIEW_NUMBER_TEXT_H
#define TACTIVIEW_NUMBER_TEXT_H

#include <stdint.h>

// The most digits a decimal number takes: 18446744073709551615.
constexpr unsigned DECIMAL_DIGITS_MAX = 20;

// Writes value in decimal: with width 0 in as many digits as it needs,
// otherwise in exactly width digits, its lowest ones, with leading zeros.
char *PutDecimal(char *p, uint64_t value, unsigned width = 0);

// Writes a byte as two upper-case hex digits.
char *PutHexByte(char *p, uint8_t value);

#endif

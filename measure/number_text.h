#pragma once

#include <string>
#include <string_view>

namespace kanat {

// Every number of the program lives as text; these are the only ways text and numbers meet.
// `decimal` is the user's locale decimal separator ('.' or ',').

// Reads the number at the start of a text, ignoring blanks, tabs and line feeds anywhere;
// only '.' is a decimal point. A text without a leading number gives 0. Never fails, except
// for a number beyond the double range, which is an overflow.
double parseLeadingNumber(std::string_view text);
// Whether the text has a leading number for that parse to read, rather than the 0 of nothing.
bool hasLeadingNumber(std::string_view text);

// Reads a whole text as a number written with the locale separator; blanks and tabs may
// surround it. Anything else throws ArithmeticError(Conversion).
double parseLocale(std::string_view text, char decimal);

// Shortest text of a double with up to 15 significant digits (7 for a single), switching to
// exponent form (1E-05, 1.5E+15) exactly where C's %G does. A negative zero is written 0.
std::string formatGeneral(double value, char decimal);
std::string formatGeneralSingle(float value, char decimal);

// The general format cut to its first seven characters, or padded with blanks to seven.
std::string fixed7(double value, char decimal);
std::string padOrCut7(std::string text);

// Rounded half to even to three decimals, then in the general format: 1.30049 gives 1.3.
std::string formatResult(double value, char decimal);

// Rounds to `decimals` places; a value is exactly halfway when its shortest round-trip decimal
// text ends in that 5 (2.0125 gives 2.012, 2.0135 gives 2.014, 212.5 gives 212).
double roundHalfEven(double value, int decimals);

} // namespace kanat

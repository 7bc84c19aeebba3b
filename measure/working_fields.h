#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace kanat {

// The hidden text fields through which the measuring procedures take their operands and give
// their results; the window mirrors them in controls of the same names.
enum class Field : std::size_t { x11, y11, x22, y22, x33, y33, x44, y44, Txt1, Txt2, Txt3, cs, oran, renk };
inline constexpr std::size_t workingFieldCount = 14;

struct WorkingFields {
    std::array<std::string, workingFieldCount> texts{"", "", "", "", "", "", "", "", "", "", "", "", "", "renk"};

    const std::string& operator[](Field field) const { return texts[static_cast<std::size_t>(field)]; }
    std::string& operator[](Field field) { return texts[static_cast<std::size_t>(field)]; }
};

// Point n (1 to 4) of the working fields.
constexpr Field pointX(int n) { return static_cast<Field>(2 * (n - 1)); }
constexpr Field pointY(int n) { return static_cast<Field>(2 * (n - 1) + 1); }

} // namespace kanat

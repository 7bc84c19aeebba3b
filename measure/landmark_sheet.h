#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kanat {

inline constexpr int landmarkCount = 18;

// What a landmark's fields hold when the landmark is not there on the wing (a torn tip, a
// missing cross-vein): every measurement that needs it is left empty rather than measured to
// the point (0, 0), as an empty field that nobody marked still is.
inline constexpr std::string_view missingMark = "yok";

// Whether a field's text is the missing mark, whatever its letter case and the blanks around it.
bool isMissingMark(std::string_view text);

// The 36 coordinate texts of the 18 landmarks: the x field and the y field of each, in landmark
// order. They are whatever was pressed or typed, never validated.
struct LandmarkSheet {
    std::array<std::string, 2 * landmarkCount> texts{};

    const std::string& x(int n) const { return texts[static_cast<std::size_t>(2 * n - 2)]; }
    const std::string& y(int n) const { return texts[static_cast<std::size_t>(2 * n - 1)]; }
    std::string& x(int n) { return texts[static_cast<std::size_t>(2 * n - 2)]; }
    std::string& y(int n) { return texts[static_cast<std::size_t>(2 * n - 1)]; }
    // Landmark n (1 to 18) is marked missing in either of its fields.
    bool missing(int n) const { return isMissingMark(x(n)) || isMissingMark(y(n)); }
    // Landmark n is not marked missing and a field of it holds no number (blank, never placed,
    // or typed wrong): that field would be measured as 0.
    bool unplaced(int n) const;
    bool operator==(const LandmarkSheet&) const = default;
};

} // namespace kanat

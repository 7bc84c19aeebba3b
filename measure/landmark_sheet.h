#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace kanat {

inline constexpr int landmarkCount = 18;

// The 36 coordinate texts of the 18 landmarks: the x field and the y field of each, in landmark
// order. They are whatever was pressed or typed, never validated.
struct LandmarkSheet {
    std::array<std::string, 2 * landmarkCount> texts{};

    const std::string& x(int n) const { return texts[static_cast<std::size_t>(2 * n - 2)]; }
    const std::string& y(int n) const { return texts[static_cast<std::size_t>(2 * n - 1)]; }
    std::string& x(int n) { return texts[static_cast<std::size_t>(2 * n - 2)]; }
    std::string& y(int n) { return texts[static_cast<std::size_t>(2 * n - 1)]; }
    bool operator==(const LandmarkSheet&) const = default;
};

} // namespace kanat

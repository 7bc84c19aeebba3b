#pragma once

#include <bit>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace kanat {

// Which landmarks of a configuration a wing has: a torn tip or a missing cross-vein takes some
// away. Everything that reads a wing's landmarks asks it first, so that the point kept for a
// missing landmark (an estimate, or nothing at all) never counts. At most 64 landmarks.
class LandmarkMask {
public:
    LandmarkMask() = default;
    static LandmarkMask all(std::size_t count) {
        if (count > 64) throw std::length_error("LandmarkMask: more than 64 landmarks");
        LandmarkMask mask;
        mask.size_ = count;
        mask.bits_ = count == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
        return mask;
    }

    std::size_t size() const { return size_; }
    bool has(std::size_t landmark) const { return landmark < size_ && (bits_ >> landmark & 1u) != 0; }
    std::size_t count() const { return static_cast<std::size_t>(std::popcount(bits_)); }
    std::size_t missing() const { return size_ - count(); }
    bool complete() const { return count() == size_; }

    void remove(std::size_t landmark) {
        if (landmark < size_) bits_ &= ~(std::uint64_t{1} << landmark);
    }
    void add(std::size_t landmark) {
        if (landmark < size_) bits_ |= std::uint64_t{1} << landmark;
    }
    // The landmarks both have.
    LandmarkMask operator&(const LandmarkMask& other) const {
        LandmarkMask both = *this;
        both.bits_ &= other.bits_;
        return both;
    }

    // 1 for a landmark it has, 0 for one it lacks: fitSimilarity's weights.
    std::vector<double> weights() const {
        std::vector<double> weights(size_);
        for (std::size_t k = 0; k < size_; ++k) weights[k] = has(k) ? 1.0 : 0.0;
        return weights;
    }

    auto operator<=>(const LandmarkMask&) const = default;

private:
    std::uint64_t bits_ = 0;
    std::size_t size_ = 0;
};

} // namespace kanat

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kanat {

// A set-up the lab photographs or scans wings with, known by how many pixels of its pictures
// make a millimetre (found from a scale bar or a stage micrometer photographed with it).
struct ScaleSetup {
    std::string name;
    double pixelsPerMm = 0;
};

// The default: 95 pixels a millimetre, a flatbed scan at about 2,400 dpi. With it the window
// writes exactly what it always has.
inline constexpr double defaultPixelsPerMm = 95;
inline const std::string defaultSetupName = "Varsayılan (95 piksel/mm)";

// The user's set-ups and the one in use, kept in a small UTF-8 text file of the user's settings:
// a first line "etkin<TAB>name", then "pixels per mm<TAB>name" a set-up.
class ScaleSetups {
public:
    // Reads the file; a missing or unreadable one, or a line that is no set-up, gives what could
    // be read (at worst the default alone).
    static ScaleSetups read(const std::string& path);
    // Writes the file anew (its folder made when missing); a Turkish message when it cannot.
    std::string write(const std::string& path) const;

    const std::vector<ScaleSetup>& saved() const { return saved_; }
    const ScaleSetup& active() const;
    bool activeIsDefault() const { return active_.empty(); }
    // The set-up of this name, the default included; none when there is no such.
    std::optional<ScaleSetup> find(std::string_view name) const;

    // Keeps the set-up (one of the same name is replaced) and makes it the one in use.
    void save(ScaleSetup setup);
    bool activate(std::string_view name); // false: no such set-up
    bool remove(std::string_view name);   // false: no such, or the default, which stays

private:
    std::vector<ScaleSetup> saved_;
    std::string active_; // empty: the default
};

// Where the user's set-ups are kept, below the user's configuration folder.
inline constexpr std::string_view scaleSetupsFile = "kanat/olcekler.txt";

// A resolution typed by the user: pixels per millimetre, or dots per inch; a decimal comma or
// point. None unless it is a number above zero.
enum class ResolutionUnit { PixelsPerMm, DotsPerInch };
std::optional<double> typedPixelsPerMm(std::string_view text, ResolutionUnit unit);

} // namespace kanat

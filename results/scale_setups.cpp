#include "results/scale_setups.h"

#include "results/file_names.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kanat {
namespace {

constexpr std::string_view activeKey = "etkin";
constexpr double millimetresPerInch = 25.4;

std::optional<double> positiveNumber(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t\r");
    if (first == std::string::npos) return std::nullopt;
    text = text.substr(first, last - first + 1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

// Seventeen significant digits: a set-up read back is the very number saved.
std::string exactText(double value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

} // namespace

ScaleSetups ScaleSetups::read(const std::string& path) {
    ScaleSetups setups;
    std::ifstream file(nativePath(path), std::ios::binary);
    std::string line;
    std::string active;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const std::string first = line.substr(0, tab), name = line.substr(tab + 1);
        if (first == activeKey) {
            active = name;
            continue;
        }
        const auto pixelsPerMm = positiveNumber(first);
        if (!pixelsPerMm || name.empty() || name == defaultSetupName) continue;
        setups.save({name, *pixelsPerMm});
    }
    setups.activate(active);
    return setups;
}

std::string ScaleSetups::write(const std::string& path) const {
    std::error_code ignored;
    std::filesystem::create_directories(nativePath(path).parent_path(), ignored);
    std::ostringstream text;
    text << activeKey << '\t' << active().name << '\n';
    for (const ScaleSetup& setup : saved_) text << exactText(setup.pixelsPerMm) << '\t' << setup.name << '\n';
    std::ofstream file(nativePath(path), std::ios::binary | std::ios::trunc);
    file << text.str();
    file.flush();
    if (!file) return "Ölçekler \"" + path + "\" dosyasına yazılamadı: " + std::strerror(errno);
    return {};
}

const ScaleSetup& ScaleSetups::active() const {
    static const ScaleSetup standard{defaultSetupName, defaultPixelsPerMm};
    const auto found =
        std::find_if(saved_.begin(), saved_.end(), [&](const ScaleSetup& s) { return s.name == active_; });
    return active_.empty() || found == saved_.end() ? standard : *found;
}

std::optional<ScaleSetup> ScaleSetups::find(std::string_view name) const {
    if (name == defaultSetupName) return ScaleSetup{defaultSetupName, defaultPixelsPerMm};
    for (const ScaleSetup& setup : saved_)
        if (setup.name == name) return setup;
    return std::nullopt;
}

void ScaleSetups::save(ScaleSetup setup) {
    std::erase_if(saved_, [&](const ScaleSetup& s) { return s.name == setup.name; });
    active_ = setup.name;
    saved_.push_back(std::move(setup));
}

bool ScaleSetups::activate(std::string_view name) {
    if (name == defaultSetupName) {
        active_.clear();
        return true;
    }
    if (!find(name)) return false;
    active_ = std::string(name);
    return true;
}

bool ScaleSetups::remove(std::string_view name) {
    if (name == defaultSetupName || !find(name)) return false;
    std::erase_if(saved_, [&](const ScaleSetup& s) { return s.name == name; });
    if (active_ == name) active_.clear();
    return true;
}

std::optional<double> typedPixelsPerMm(std::string_view text, ResolutionUnit unit) {
    const auto value = positiveNumber(std::string(text));
    if (!value) return std::nullopt;
    return unit == ResolutionUnit::DotsPerInch ? *value / millimetresPerInch : *value;
}

} // namespace kanat

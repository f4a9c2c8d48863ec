// How well written stringlines follow the features of a sample road. The
// samples come with a list of what every point is (samples/cross/*_known.txt:
// "chainage layer feature offset height" per line); the measure reads a
// written document's cross sections (points and vertex names per surface)
// and counts, layer by layer between consecutive stations:
// - a break: one written code on two different features;
// - a split: one feature under two different codes;
// and the stringlines (distinct codes per layer).
#pragma once

#include <pugixml.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace vialto::test {

// (chainage, layer, offset, height), numbers in millimetres.
using KnownKey = std::tuple<long long, std::string, long long, long long>;
using KnownFeatures = std::map<KnownKey, std::string>;

inline long long Millimetres(double metres) { return std::llround(metres * 1000); }

inline KnownFeatures ReadKnownFeatures(const std::filesystem::path &path) {
    KnownFeatures known;
    std::ifstream in(path);
    double chainage, offset, height;
    std::string layer, feature;
    for (std::string line; std::getline(in, line);)
        if (std::istringstream(line) >> chainage >> layer >> feature >> offset >> height)
            known[{Millimetres(chainage), layer, Millimetres(offset), Millimetres(height)}] =
                feature;
    return known;
}

struct StringlineMeasure {
    int Breaks = 0;
    int Splits = 0;
    int Stringlines = 0;
    // One line per break: "chainage layer code: feature -> feature"; per
    // split: "chainage layer feature: code -> code".
    std::vector<std::string> BreakList, SplitList;
    // Points of the document the list does not know, or wrongly written
    // surfaces; empty when the document could be measured.
    std::vector<std::string> Problems;
};

namespace measure_detail {

// code -> feature and feature -> code of one surface.
struct Surface {
    std::map<std::string, std::string> FeatureOf, CodeOf;
};

} // namespace measure_detail

inline StringlineMeasure MeasureStringlines(const std::string &document,
                                            const KnownFeatures &known) {
    StringlineMeasure m;
    pugi::xml_document doc;
    if (!doc.load_string(document.c_str())) {
        m.Problems.push_back("not a well-formed document");
        return m;
    }
    std::map<std::string, measure_detail::Surface> previous; // layer -> surface
    std::set<std::pair<std::string, std::string>> lines;     // (layer, code)
    for (pugi::xpath_node sect : doc.select_nodes("//CrossSect")) {
        const std::string sta = sect.node().attribute("sta").value();
        const long long chainage = Millimetres(std::stod(sta));
        std::map<std::string, measure_detail::Surface> current;
        for (pugi::xml_node surf : sect.node().children("CrossSectSurf")) {
            const std::string layer = surf.attribute("name").value();
            std::istringstream numbers(surf.child_value("PntList2D"));
            std::istringstream codes(
                surf.find_child_by_attribute("Feature", "code", "SD Vertex Name").child_value());
            measure_detail::Surface &s = current[layer];
            double offset, height;
            std::string code;
            while (numbers >> offset >> height) {
                if (!std::getline(codes, code, ',')) {
                    m.Problems.push_back(sta + " " + layer + ": fewer names than points");
                    break;
                }
                const auto f =
                    known.find({chainage, layer, Millimetres(offset), Millimetres(height)});
                if (f == known.end()) {
                    m.Problems.push_back(sta + " " + layer + ": unknown point " +
                                         std::to_string(offset));
                    continue;
                }
                s.FeatureOf[code] = f->second;
                s.CodeOf[f->second] = code;
                lines.insert({layer, code});
            }
        }
        // A key (code or feature) whose value (feature or code) differs
        // from the previous station's.
        auto changes = [&](const std::string &layer, const std::map<std::string, std::string> &now,
                           const std::map<std::string, std::string> &before, int &count,
                           std::vector<std::string> &list) {
            for (const auto &[key, value] : now) {
                const auto was = before.find(key);
                if (was != before.end() && was->second != value) {
                    ++count;
                    list.push_back(sta + " " + layer + " " + key + ": " + was->second + " -> " +
                                   value);
                }
            }
        };
        for (const auto &[layer, now] : current) {
            const auto before = previous.find(layer);
            if (before == previous.end())
                continue;
            changes(layer, now.FeatureOf, before->second.FeatureOf, m.Breaks, m.BreakList);
            changes(layer, now.CodeOf, before->second.CodeOf, m.Splits, m.SplitList);
        }
        previous = std::move(current);
    }
    m.Stringlines = static_cast<int>(lines.size());
    return m;
}

} // namespace vialto::test

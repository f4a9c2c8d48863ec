// Runs of the batch command in a test: the arguments, the exit code, what it
// printed, and the document it wrote, read back; listings made from the
// samples with one value changed.
#pragma once

#include "batch/RunConvert.h"
#include "shell/AppModel.h"
#include "shell/Platform.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace vialto::test {

using ::testing::HasSubstr;
using ::testing::Not;

struct BatchResult {
    int Code = -1;
    std::string Out, Err;
    std::string Bytes; // the written document; "" when none is at the output path
    std::shared_ptr<pugi::xml_document> Doc = std::make_shared<pugi::xml_document>();

    // The value of the first node the path selects (an attribute's value, or
    // an element's text); "" when none.
    std::string At(const std::string &xpath) const {
        const pugi::xpath_node n = Doc->select_node(xpath.c_str());
        return n.attribute() ? n.attribute().value() : n.node().child_value();
    }
    std::size_t Count(const std::string &xpath) const {
        return Doc->select_nodes(xpath.c_str()).size();
    }
};

// The numbers of a text, in order ("1.5 2" is {1.5, 2}).
inline std::vector<double> Numbers(const std::string &text) {
    std::vector<double> numbers;
    std::istringstream in(text);
    for (double v; in >> v;)
        numbers.push_back(v);
    return numbers;
}

// The arguments `a` followed by `b`.
inline std::vector<std::string> Plus(std::vector<std::string> a,
                                     const std::vector<std::string> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The printed summary: its title and the indented lines after it.
inline std::string Summary(const std::string &out) {
    const std::size_t from = out.find("Summary\n");
    if (from == std::string::npos)
        return "";
    std::size_t end = from + 8;
    while (out.compare(end, 2, "  ") == 0)
        end = out.find('\n', end) + 1;
    return out.substr(from, end - from);
}

// Every section's rails stand G sqrt(B^2 - c^2) / B apart across their height
// difference c, plus a widening W carried across the rails' slope,
// W cos(asin(c / (B + W))), with the samples' gauge G = 1.435 and base B = 1.5
// (metres), centred on the axis; each rail is rounded to 6 decimals. Returns
// the largest c.
inline double ExpectRailsApart(const pugi::xml_document &doc, double W) {
    const double G = 1.435, B = 1.5;
    const auto rails = doc.select_nodes("//CrossSectSurf[@name='Rails']/PntList2D");
    EXPECT_GT(rails.size(), 500u);
    double largest = 0;
    for (const pugi::xpath_node &node : rails) {
        const std::vector<double> p = Numbers(node.node().child_value());
        if (p.size() != 4) {
            ADD_FAILURE() << node.node().child_value();
            continue;
        }
        const double c = std::abs(p[1] - p[3]);
        largest = std::max(largest, c);
        const std::string sta = node.node().parent().parent().attribute("sta").value();
        EXPECT_NEAR(p[2] - p[0],
                    G * std::sqrt(B * B - c * c) / B + W * std::cos(std::asin(c / (B + W))), 3e-6)
            << sta;
        EXPECT_NEAR(p[2], -p[0], 2e-6) << sta;
    }
    return largest;
}

// The document with its author left out: the logged-on user is the one part
// of a document that depends on the machine.
inline std::string WithoutAuthor(std::string document) {
    const std::string key = "createdBy=\"";
    const std::size_t at = document.find(key);
    if (at != std::string::npos)
        document.erase(at + key.size(), document.find('"', at + key.size()) - at - key.size());
    return document;
}

class BatchTest : public ::testing::Test {
  protected:
    void SetUp() override { SetProgramFolder(VIALTO_BIN_DIR); }
    void TearDown() override { AppModel().Reset(); }

    // Runs the command with `-o <dir>/<output>` appended (unless `output`, in
    // UTF-8, is empty) and reads back what it wrote.
    BatchResult Convert(std::vector<std::string> args, const std::string &output = "out.xml") {
        const std::filesystem::path path = dir_.Path() / Utf8Path(output);
        if (!output.empty()) {
            std::filesystem::remove(path);
            args.insert(args.end(), {"-o", PathText(path)});
        }
        std::ostringstream out, err;
        BatchResult result;
        result.Code = RunConvert(args, out, err);
        result.Out = out.str();
        result.Err = err.str();
        if (!output.empty() && std::filesystem::is_regular_file(path)) {
            result.Bytes = ReadFileBytes(path);
            EXPECT_TRUE(result.Doc->load_string(result.Bytes.c_str()));
        }
        return result;
    }

    // A sample copied into the test's folder under `name`, each `from` text
    // replaced by its `to`.
    std::string Edited(const std::string &sample, const std::string &name,
                       const std::vector<std::pair<std::string, std::string>> &edits = {}) {
        std::string text = ReadFileBytes(SamplePath(sample));
        for (const auto &[from, to] : edits) {
            EXPECT_NE(text.find(from), std::string::npos) << from;
            text = ReplaceAll(text, from, to);
        }
        WriteFileBytes(dir_ / name, text);
        return PathText(dir_ / name);
    }

    static std::vector<std::string> Job(const std::string &name) {
        return {"--job-file", SourcePath("samples/jobs/" + name + ".job").string()};
    }

    TempLogFolder dir_; // the log goes to our folder
    RecordingUi ui_;
};

} // namespace vialto::test

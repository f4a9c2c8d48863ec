// Shared set-up of the document writer tests: a fresh application model, a
// recording user interface, an output path in a temporary folder, and the
// golden-document comparison.
#pragma once

#include "AppModel.h"
#include "LandXmlHead.h"
#include "LandXmlKnownForms.h"
#include "LandXmlWriter.h"
#include "TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace vialto::test {

class LandXmlFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        AppModel().Reset();
        SetOutputFile(out.string());
    }
    void TearDown() override {
        DiscardOutput();
        SetOutputFile("");
        AppModel().Reset();
    }

    // Opens the document and writes the head the export stage writes.
    void BeginDocument(int linearUnits = 3) {
        ASSERT_TRUE(TagLandXML(false));
        ASSERT_TRUE(TagApplication("tester"));
        ASSERT_TRUE(TagProject("<a.plt + b.alz>", ""));
        ASSERT_TRUE(TagUnits(linearUnits));
    }

    // Closes the root and the file, commits, and returns the document's bytes.
    std::string FinishDocument() {
        EXPECT_TRUE(TagLandXML(true));
        CloseFile();
        EXPECT_TRUE(CommitOutput());
        return ReadFileBytes(out);
    }

    // The names in the output's folder, sorted.
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(dir.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    RecordingUi ui;
    TempDir dir;
    std::filesystem::path out = dir / "out.xml";
};

// Compares bytes with tests/landxml/golden/<name>; with VIALTO_UPDATE_GOLDEN set
// in the environment the golden file is rewritten instead.
inline void ExpectGolden(const std::string &name, const std::string &bytes) {
    const std::filesystem::path golden = SourcePath("tests/landxml/golden/" + name);
    if (std::getenv("VIALTO_UPDATE_GOLDEN") != nullptr) {
        WriteFileBytes(golden, bytes);
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    EXPECT_EQ(ReadFileBytes(golden), bytes) << "document differs from " << golden;
}

} // namespace vialto::test

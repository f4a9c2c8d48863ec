// Document writer tests: a fresh model, a recording user interface (an
// unexpected message fails the test), an output in a temporary folder.
#pragma once

#include "landxml/LandXmlAlignment.h"
#include "landxml/LandXmlHead.h"
#include "landxml/LandXmlWriter.h"
#include "shell/AppModel.h"
#include "shell/Text.h"
#include "support/LandXmlKnownForms.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
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
        for (const auto &message : ui.Messages)
            ADD_FAILURE() << "unexpected message: " << message.Text;
        DiscardOutput();
        SetOutputFile("");
        AppModel().Reset();
    }

    // The one message reported so far holds `part`; it is taken off the list.
    void ExpectMessage(const std::string &part) {
        ASSERT_EQ(ui.Messages.size(), 1u);
        EXPECT_THAT(ui.Messages[0].Text, ::testing::HasSubstr(part));
        ui.Messages.clear();
    }

    // Opens the document and writes the head the export stage writes.
    void BeginDocument(int linearUnits = 3) {
        ASSERT_TRUE(TagLandXML(false));
        ASSERT_TRUE(TagApplication("tester"));
        ASSERT_TRUE(TagProject("<a.plt + b.alz>", ""));
        ASSERT_TRUE(TagUnits(linearUnits));
    }

    // Closes, commits and validates the document; returns its bytes.
    std::string FinishDocument() {
        EXPECT_TRUE(TagLandXML(true));
        CloseFile();
        EXPECT_TRUE(CommitOutput());
        EXPECT_EQ(ValidateLandXmlKnownForms(out), "");
        return ReadFileBytes(out);
    }

    // A document with one straight alignment "Eje" running north from
    // (1000, 2000); `inside` writes into it after its geometry.
    std::string WriteStraight(double start, double end, const std::function<void()> &inside) {
        SetOutputFile(out.string());
        BeginDocument();
        HzAlignment hz = MakeOneBased<HzElement>(2);
        hz[1] = HzElement{1, start, 1000, 2000, 0, 0, 0, end - start, 0, {}};
        hz[2] = HzElement{2, end, 1000, 2000 + end - start, 0, 0, 0, 0, 0, {}};
        double first = 0, last = 0;
        EXPECT_TRUE(
            TagAlignments(false) && TagAlignment(false, "Eje", start, end) && TagCoordGeom(false) &&
            TagCoordGeomRegular(hz, kNullValue, kNullValue, first, last) && TagCoordGeom(true));
        inside();
        EXPECT_TRUE(TagAlignment(true) && TagAlignments(true));
        return FinishDocument();
    }

    // Opens a document with one alignment to write fragments into.
    void BeginAlignment(bool extended = false) {
        AppModel().IsOstXML = extended;
        BeginDocument();
        ASSERT_TRUE(TagAlignments(false) && TagAlignment(false, "F", 0, 50));
    }

    // What was written inside the alignment, without tabs and line ends; the
    // whole document is kept in `bytes`.
    std::string AlignmentBody() {
        EXPECT_TRUE(TagAlignment(true) && TagAlignments(true));
        bytes = FinishDocument();
        const std::size_t start = bytes.find("staStart=\"0.000000\">\r\n") + 23;
        std::string body = bytes.substr(start, bytes.find("\t\t</Alignment>", start) - start);
        body.erase(std::remove_if(body.begin(), body.end(),
                                  [](char c) { return c == '\t' || c == '\r' || c == '\n'; }),
                   body.end());
        return body;
    }

    std::vector<std::string> FolderEntries() const { return FolderNames(dir.Path()); }

    RecordingUi ui;
    TempDir dir;
    std::filesystem::path out = dir / "out.xml";
    std::string bytes;
};

// With VIALTO_UPDATE_GOLDEN set the golden file is rewritten instead.
inline void ExpectGolden(const std::string &name, const std::string &bytes,
                         const std::string &folder = "tests/landxml/golden/") {
    const std::filesystem::path golden = SourcePath(folder + name);
    if (std::getenv("VIALTO_UPDATE_GOLDEN") != nullptr) {
        WriteFileBytes(golden, bytes);
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    EXPECT_EQ(ReadFileBytes(golden), bytes) << "document differs from " << golden;
}

} // namespace vialto::test

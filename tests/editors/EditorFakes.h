// Dialogs that answer from fields and record what they were asked, and the
// fixture every editor test starts from.
#pragma once

#include "editors/EditorSession.h"
#include "editors/XmlTable.h"
#include "railtunnel/XmlInputFile.h"
#include "shell/AppModel.h"
#include "shell/Error.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace vialto::editors::test {

class FakeDialogs final : public IEditorDialogs {
  public:
    std::string SavePath; // the save dialog's answer
    bool ConfirmAnswer = false;
    Unsaved UnsavedAnswer = Unsaved::Cancel;
    std::vector<std::string> Asked; // save dialogs, questions
    std::vector<std::string> Told;

    std::string AskSavePath(const std::string &caption, const std::string &,
                            const std::string &) override {
        Asked.push_back(caption);
        return SavePath;
    }
    bool Confirm(const std::string &question) override {
        Asked.push_back(question);
        return ConfirmAnswer;
    }
    Unsaved AskUnsaved(const std::string &question) override {
        Asked.push_back(question);
        return UnsavedAnswer;
    }
    void Tell(const std::string &problem) override { Told.push_back(problem); }
};

using vialto::test::FolderNames;
using vialto::test::ReadFileBytes;
using vialto::test::SourcePath;
using vialto::test::TempDir;
using vialto::test::WriteFileBytes;

class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override { AppModel().Reset(); }
    void TearDown() override { AppModel().Reset(); }
    TempDir dir_;
    FakeDialogs dialogs_;
};

// The root element parsed as the editors parse it (any encoding), printed
// without formatting: files of one canonical form hold the same data.
inline std::string Canonical(const std::filesystem::path &file) {
    pugi::xml_document doc;
    ParseXmlInput(doc, ReadXmlInputText(file.string(), errFileNotFound, errNoValidFile),
                  EditorParseOptions(), errNoValidFile);
    std::ostringstream out;
    doc.document_element().print(out, "", pugi::format_raw);
    return out.str();
}

} // namespace vialto::editors::test

// The application model: the one process-wide object that every part of the
// program reads (output path, flavour and mode flags, the converter's and the
// conversion's identity, the language file), plus the supported-formats value
// and the program's folder and version.
#pragma once

#include "shell/LanguageFile.h"

#include <string>
#include <vector>

namespace vialto {

// Supported-formats bits, in the order the registration record lists them.
enum FormatBits : int {
    fmtRoad = 1,
    fmtTunnel = 2,
    fmtRail = 4,
    fmtPla = 8,
    fmtDtm = 16,
};

// The converter's identity, set when the wizard controller is created.
struct clsConverterInfo {
    long eType = 3;
    std::string sName = "Vialto";
    std::string sDescription = "Vialto Converter";
    int nFormatsSuppront = 0;

    // 0, +1 for the road bit, +1 for the tunnel bit, +2 for the rail bit.
    int JobTypeCount() const;
};

// The current conversion's identity.
struct clsConversionInfo {
    std::string RoadDataName; // set by "-n"
    int Flags = 0;            // conversion flags; the wizard ORs in 7

    // The name of the user logged on to the operating system.
    std::string GetCreator() const;
    // The road data name when set; otherwise "<" + the selected input files'
    // names joined by " + " + ">" (the document writer escapes the brackets).
    std::string GetRoadDataName(const std::vector<std::string> &selectedInputPaths) const;
};

class clsAppModel {
  public:
    std::string XmlFileToExport;
    bool IsOstXML = false;
    bool DebugMode = false;
    bool RunTests = false;

    bool AddOnMode() const { return addOnMode_; }
    // Only an embedding host (and the tests) silence the error handler.
    void SetAddOnMode(bool on) { addOnMode_ = on; }

    clsConverterInfo &ConverterInfo() { return converterInfo_; }
    clsConversionInfo &ConversionInfo() { return conversionInfo_; }
    clsLanguageFile &TokenFile() { return tokenFile_; }
    const clsLanguageFile &TokenFile() const { return tokenFile_; }
    std::string GetToken(const std::string &token) const { return tokenFile_.GetToken(token); }

    // Back to the state at process start (used by start-up and by tests).
    void Reset();

  private:
    bool addOnMode_ = false;
    clsConverterInfo converterInfo_;
    clsConversionInfo conversionInfo_;
    clsLanguageFile tokenFile_;
};

// The one application model of the process.
clsAppModel &AppModel();

// The language file's text for a token; the token itself when the file has
// none.
std::string Token(const std::string &token);

// The supported-formats value, a process-wide bit set; 2 (tunnel) at start-up.
int SupportedFormats();
void SetSupportedFormats(int value);
// The names of the set bits in registration order joined by ",".
std::string SupportedFormatNames(int value);

// The folder of the running program (where the language file lives), as the
// system tells it, and its version as major, minor, revision.
std::string ProgramFolder();
// Puts the program's folder elsewhere (for the tests).
void SetProgramFolder(const std::string &folder);
struct ProgramVersion {
    int Major = 1, Minor = 0, Revision = 0;
};
ProgramVersion GetProgramVersion();

// The part of a path after its last "\" or "/".
std::string FileNameOfPath(const std::string &path);

} // namespace vialto

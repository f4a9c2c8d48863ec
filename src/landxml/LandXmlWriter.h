// The document's line writer (module CLandXML): one process-wide writer state
// with two channels, the main file and, in the extended flavour, a side file
// whose lines are merged into the main file before the root closes. Every
// element writer (alignments, profiles, cross sections, rails, tunnel) writes
// through the line writers below; each line is one element, indented with one
// tab per level, ended by CR LF; the file is UTF-8 without byte order mark.
//
// Life of a document:
//
//     SetOutputFile(path);          // forgets any earlier, uncommitted work
//     TagLandXML(false);            // OpenFile(): creates the work file
//     ... element writers ...
//     TagLandXML(true);             // merges the side file, writes </LandXML>
//     CloseFile();                  // always, even when a step failed
//     ok ? CommitOutput() : DiscardOutput();
//
// The document is written to a work file in the output's folder, never to the
// output path itself: only CommitOutput moves it over the output, so a failed
// export leaves an earlier file at that path untouched. DiscardOutput (and a
// new SetOutputFile) deletes the work file and any side file.
//
// Text values taken from the data (names, descriptions, codes, labels) go
// through XmlText (shell/Text.h) before they are put between quotes or
// between tags.
//
// Each channel gathers its lines and hands them to its file in pieces of
// kWriterPieceBytes; the rest goes when the channel closes. A piece the file
// does not take (a full disk) is reported with the line that completed it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace vialto {

inline constexpr std::size_t kWriterPieceBytes = 64 * 1024;

// The writer state; one instance for the whole program (LandXmlWriter()).
struct LandXmlWriterState {
    std::string OutputFile;         // final path of the document (SetOutputFile)
    std::filesystem::path WorkFile; // the file being written; empty when none exists
    std::filesystem::path SideFile; // the extended flavour's side file; empty when none
    std::FILE *Main = nullptr;      // open work file, nullptr when closed
    std::FILE *Side = nullptr;      // open side file, nullptr when closed
    std::string MainPending;        // lines of the main file not yet handed to it
    std::string SidePending;        // lines of the side file not yet handed to it
    std::uint8_t MainLevel = 0;     // tabs before a line of the main file
    std::uint8_t SideLevel = 0;     // tabs before a line of the side file
    bool WriteFailed = false;       // a write or close of this document failed
    bool RootClosed = false;        // "</LandXML>" was written: the document is whole

    LandXmlWriterState() = default;
    LandXmlWriterState(const LandXmlWriterState &) = delete;
    LandXmlWriterState &operator=(const LandXmlWriterState &) = delete;
    ~LandXmlWriterState(); // closes and deletes uncommitted work
};

// The one writer state of the process.
LandXmlWriterState &LandXmlWriter();

// ---- File handling -------------------------------------------------------

// Stores the output path and closes any open file; work not yet committed is
// discarded (a new document begins).
void SetOutputFile(const std::string &path);
// The side file's path: the output path with "ost" appended (a.xml -> a.xmlost).
std::filesystem::path SideFilePath();
// Creates the work file in the output's folder (and, with IsOstXML set, the
// side file); both levels become 0. False (reported as error 10005 with the
// path and the reason) when a file cannot be created.
bool OpenFile();
// Whether the main channel is open.
bool IsFileOpen();
// Closes both channels; errors are not reported here, but a failed close
// marks the document as failed so that it is never committed.
void CloseFile();
// Closes the channels and moves the finished document over the output path.
// False, with the error reported ("CLandXML.CommitOutput"), when the document
// had a write failure, its root was never closed, or it cannot be moved; the work file is then
// deleted and the output path is left as it was.
bool CommitOutput();
// Closes the channels and deletes the work file and side file, leaving the
// output path as it was. Safe to call at any time.
void DiscardOutput();

// Closes the side file, copies its lines unchanged, in order, to the main file
// with WriteLn, and deletes it. False when there is no side file or a line
// could not be copied.
bool MergeSideFile();

// ---- Line writers ----------------------------------------------------------
// Each returns true when the line was written. A failed write is reported with
// the source "CLandXML.WriteLn" ("CLandXML.WriteLnOst" for the side file) and
// the description followed by CR LF "Error to write: '<line>' in file:<path>".

// The line and CR LF on the main file, unindented.
bool WriteLn(std::string_view line);
// The line and CR LF on the side file, unindented.
bool WriteLnOst(std::string_view line);

// Main channel: write at the level, then level + 1 (an opening tag).
bool WriteLnOpen(std::string_view line);
// Main channel: write at the level (an empty or one-line element).
bool WriteLnAt(std::string_view line);
// The same with the line in three pieces, never joined first (a long text
// between its tags).
bool WriteLnAt(std::string_view open, std::string_view text, std::string_view close);
// Main channel: level - 1, then write at the new level (a closing tag).
bool WriteLnClose(std::string_view line);
// The same three on the side channel and its level.
bool WriteLnOpenOst(std::string_view line);
bool WriteLnAtOst(std::string_view line);
bool WriteLnCloseOst(std::string_view line);
// Main file, indented by the side channel's level (the tunnel profile text).
bool WriteLnAtOstLevel(std::string_view line);

// Current levels (tabs), for writers that need them and for tests.
std::uint8_t MainLevel();
std::uint8_t SideLevel();
void SetSideLevel(std::uint8_t level);

// ---- Text helpers ----------------------------------------------------------

// A point as written in the document: northing, a blank, easting, 6 decimals.
std::string PointText(double x, double y);

} // namespace vialto

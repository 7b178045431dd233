#pragma once

// Files named on tavik-cli's command line, where "-" stands for standard input or standard output.

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

class CTavikDoc;

bool IsStdio(const std::string& path);
// Reads the whole of `path` (or standard input), refusing more than `limit` bytes (ReadNamedFile). False with
// `error` set.
bool ReadInput(const std::string& path, std::istream& in, std::size_t limit, std::string& bytes,
               std::string& error);
// Loads a document; on failure the reason goes to `err` (prefixed "tavik-cli: ").
bool LoadDocument(CTavikDoc& document, const std::string& path, std::istream& in, std::ostream& err);
// Tells on `err` (and returns false) when a save to `path` could not succeed (CheckOutputPath); asked before
// any transfer or edit whose result would be saved there.
bool CheckOutput(const std::string& path, std::ostream& err);
// Saves a document, to standard output for "-"; a file is replaced whole (ReplaceFileWith).
bool SaveDocument(CTavikDoc& document, const std::string& path, std::ostream& out, std::ostream& err);
// Writes text to a file (replaced whole) or to standard output.
bool WriteOutput(const std::string& path, const std::string& bytes, std::ostream& out, std::ostream& err);
// Flushes `out` and tells on `err` when what was written did not all arrive (a full disk, a closed pipe).
bool FinishOutput(std::ostream& out, std::ostream& err);

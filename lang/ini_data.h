// The language data: a language file held in memory as sections of lines, with
// hashed lookup of sections by name and of values by key, letter case ignored
// (see case_fold.h). Texts are ANSI bytes; nothing here knows about Windows.
//
// Reading rules, applied by IniData::Assign to each line:
//   - the line is trimmed: every byte <= 0x20 goes from either end;
//   - empty lines and lines starting with ";" are skipped;
//   - "[" name "]" opens a section named by the trimmed text in between;
//   - any other line belongs to the last section opened (before the first one it
//     is dropped). A line with "=" is split at the first "=" into a trimmed key
//     and a trimmed value and kept as key "=" value; a line without "=" is kept
//     as it stands and matches no key;
//   - when a section name, or a key within a section, occurs more than once, the
//     last occurrence is the one found. The earlier ones stay in the data (and in
//     ToLines) but are never found.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lang/case_fold.h"

namespace lang {

// Splits the bytes of a text file into lines. A line ends at CR LF, at a lone CR
// or at a lone LF; a break at the very end adds no empty line after it; a NUL
// byte ends the text.
std::vector<std::string> SplitLines(std::string_view text);

// Removes every byte <= 0x20 (spaces and control characters) from both ends.
std::string_view Trim(std::string_view text);

class IniSection {
  public:
    explicit IniSection(std::string_view name) : name_(name) {}

    const std::string& Name() const { return name_; }
    const std::vector<std::string>& Lines() const { return lines_; }

    // The value of the last line with that key, or nothing when no line has it.
    // The view lives until this section is changed.
    std::optional<std::string_view> Value(std::string_view key) const;

    // Adds one trimmed line by the reading rules above.
    void AddLine(std::string_view line);
    // Sets the key's value: the line where the key is found becomes key "=" value;
    // a missing key is added as a new line at the end. The value is stored as it
    // is given. The key must not hold "=".
    void Write(std::string_view key, std::string_view value);

  private:
    std::string name_;
    std::vector<std::string> lines_;
    FoldedMap<std::size_t> keys_;  // key -> index in lines_ of its last line
};

class IniData {
  public:
    // Replaces the whole data with the given lines, read by the rules above.
    void Assign(std::span<const std::string> lines);

    // The data as lines: for each section "[" name "]", its lines, then one
    // empty line. Assigning them back gives the same data.
    std::vector<std::string> ToLines() const;

    // The last section of that name, or nullptr. The pointer lives until the data
    // is changed.
    const IniSection* Section(std::string_view name) const;
    // The value of the key in the section of that name, or nothing.
    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;

    // Writes key "=" value into the section of that name (IniSection::Write); a
    // missing section is first added at the end.
    void Write(std::string_view section, std::string_view key, std::string_view value);

  private:
    IniSection& AddSection(std::string_view name);

    std::vector<IniSection> sections_;
    FoldedMap<std::size_t> index_;  // section name -> index in sections_ of the last one
};

}  // namespace lang

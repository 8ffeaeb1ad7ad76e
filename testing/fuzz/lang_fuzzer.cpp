// Feeds arbitrary bytes to the language-file reader and the version parser and
// checks what must hold for any input: the lines and the data never outgrow the
// input, the data reads back unchanged from its own lines, everything it holds
// is found by lookup, and version comparison is a strict order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "lang/EM_Common.h"
#include "lang/ini_data.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

std::size_t TotalBytes(const std::vector<std::string>& lines) {
    std::size_t total = 0;
    for (const std::string& line : lines)
        total += line.size();
    return total;
}

void CheckVersions(std::string_view a, std::string_view b) {
    Require(!lang::IsOlderVersion(a, a));
    Require(!(lang::IsOlderVersion(a, b) && lang::IsOlderVersion(b, a)));
    std::string normalized(a);
    lang::NormalizeVersion(normalized);
    Require(lang::CountDots(normalized) >= 3);
    std::uint32_t ms1, ls1, ms2, ls2;
    lang::ParseVersion(a, ms1, ls1);
    lang::ParseVersion(normalized, ms2, ls2);
    Require(ms1 == ms2 && ls1 == ls2);
}

// Every section header of the serialised data names a section that is found, and
// every key line of the section found yields a value.
void CheckLookups(const lang::IniData& data, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.size() < 2 || line.front() != '[' || line.back() != ']') continue;
        std::string_view name = std::string_view(line).substr(1, line.size() - 2);
        const lang::IniSection* section = data.Section(name);
        Require(section != nullptr && lang::SameText(section->Name(), name));
        for (const std::string& entry : section->Lines()) {
            std::size_t equals = entry.find('=');
            if (equals != std::string::npos) {
                Require(section->Value(std::string_view(entry).substr(0, equals)).has_value());
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(bytes), size);

    std::vector<std::string> lines = lang::SplitLines(text);
    Require(lines.size() <= size && TotalBytes(lines) <= size);
    for (const std::string& line : lines) {
        Require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    }

    lang::IniData data;
    data.Assign(lines);
    std::vector<std::string> serialised = data.ToLines();
    Require(TotalBytes(serialised) <= TotalBytes(lines));
    Require(serialised.size() <= 2 * lines.size());
    CheckLookups(data, serialised);

    lang::IniData again;
    again.Assign(serialised);
    Require(again.ToLines() == serialised);

    std::string_view value = lines.empty() ? std::string_view() : lang::Trim(lines.front());
    data.Write("General", "LanguageVersion", value);
    Require(data.Value("general", "languageversion") == value);

    CheckVersions(text, value);
    for (const std::string& line : lines)
        CheckVersions(line, text);
    return 0;
}

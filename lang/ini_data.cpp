#include "lang/ini_data.h"

namespace lang {

namespace {

std::string KeyLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append(1, '=').append(value);
    return line;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<std::string_view> IniSection::Value(std::string_view key) const {
    auto found = keys_.find(key);
    if (found == keys_.end()) return std::nullopt;
    std::string_view line = lines_[found->second];
    return line.substr(line.find('=') + 1);
}

void IniSection::AddLine(std::string_view line) {
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        lines_.emplace_back(line);
        return;
    }
    std::string_view key = Trim(line.substr(0, equals));
    std::string_view value = Trim(line.substr(equals + 1));
    // A repeated key keeps its earlier lines; the index moves to the new one.
    keys_.insert_or_assign(std::string(key), lines_.size());
    lines_.push_back(KeyLine(key, value));
}

void IniSection::Write(std::string_view key, std::string_view value) {
    auto found = keys_.find(key);
    if (found != keys_.end()) {
        lines_[found->second] = KeyLine(key, value);
    } else {
        keys_.emplace(key, lines_.size());
        lines_.push_back(KeyLine(key, value));
    }
}

void IniData::Assign(std::span<const std::string> lines) {
    sections_.clear();
    index_.clear();
    IniSection* current = nullptr;
    for (const std::string& raw : lines) {
        std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = &AddSection(Trim(line.substr(1, line.size() - 2)));
        } else if (current) {
            current->AddLine(line);
        }
    }
}

std::vector<std::string> IniData::ToLines() const {
    std::vector<std::string> lines;
    for (const IniSection& section : sections_) {
        lines.push_back("[" + section.Name() + "]");
        lines.insert(lines.end(), section.Lines().begin(), section.Lines().end());
        lines.emplace_back();
    }
    return lines;
}

const IniSection* IniData::Section(std::string_view name) const {
    auto found = index_.find(name);
    return found == index_.end() ? nullptr : &sections_[found->second];
}

std::optional<std::string_view> IniData::Value(std::string_view section,
                                               std::string_view key) const {
    const IniSection* found = Section(section);
    return found ? found->Value(key) : std::nullopt;
}

void IniData::Write(std::string_view section, std::string_view key, std::string_view value) {
    auto found = index_.find(section);
    IniSection& target = found == index_.end() ? AddSection(section) : sections_[found->second];
    target.Write(key, value);
}

IniSection& IniData::AddSection(std::string_view name) {
    index_.insert_or_assign(std::string(name), sections_.size());
    return sections_.emplace_back(name);
}

}  // namespace lang

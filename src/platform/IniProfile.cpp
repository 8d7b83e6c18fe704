#include "platform/IniProfile.h"

#include <strings.h>

#include <mutex>

#include "platform/Folders.h"
#include "support/TextCodec.h"

namespace VEK {
namespace {

// Serialises read-modify-write cycles of the process's threads.
std::mutex& FileMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string Trim(const std::string& text) {
    size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    size_t e = text.find_last_not_of(" \t");
    return text.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

struct TLine {
    enum class EKind { Other, Section, Key } kind = EKind::Other;
    std::string text;  // the line as stored
    std::string name;  // section or key name
    std::string value;
};

TLine ParseLine(const std::string& text) {
    TLine line{TLine::EKind::Other, text, {}, {}};
    std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#')
        return line;
    if (trimmed[0] == '[') {
        size_t close = trimmed.find(']');
        line.kind = TLine::EKind::Section;
        line.name = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return line;
    }
    size_t eq = trimmed.find('=');
    if (eq == std::string::npos)
        return line;
    line.kind = TLine::EKind::Key;
    line.name = Trim(trimmed.substr(0, eq));
    line.value = Trim(trimmed.substr(eq + 1));
    if (line.value.size() >= 2 && line.value.front() == '"' && line.value.back() == '"') {
        line.value = line.value.substr(1, line.value.size() - 2);
    }
    return line;
}

class CIniDocument {
public:
    explicit CIniDocument(const std::string& path) {
        std::optional<std::string> text = ReadTextFile(path);
        if (!text)
            return;
        size_t pos = 0;
        while (pos < text->size()) {
            size_t eol = text->find_first_of("\r\n", pos);
            if (eol == std::string::npos) {
                m_lines.push_back(ParseLine(text->substr(pos)));
                break;
            }
            m_lines.push_back(ParseLine(text->substr(pos, eol - pos)));
            pos = eol + ((*text)[eol] == '\r' && eol + 1 < text->size() && (*text)[eol + 1] == '\n' ? 2 : 1);
        }
    }

    // [first line after the header, end of section) of the first section with that name.
    bool FindSection(const std::string& section, size_t& begin, size_t& end) const {
        for (size_t i = 0; i < m_lines.size(); ++i) {
            if (m_lines[i].kind != TLine::EKind::Section || !SameName(m_lines[i].name, section))
                continue;
            begin = i + 1;
            end = begin;
            while (end < m_lines.size() && m_lines[end].kind != TLine::EKind::Section) ++end;
            return true;
        }
        return false;
    }

    std::optional<size_t> FindKey(const std::string& section, const std::string& key) const {
        size_t begin, end;
        if (!FindSection(section, begin, end))
            return std::nullopt;
        for (size_t i = begin; i < end; ++i) {
            if (m_lines[i].kind == TLine::EKind::Key && SameName(m_lines[i].name, key))
                return i;
        }
        return std::nullopt;
    }

    void SetValue(const std::string& section, const std::string& key, const std::string& value) {
        TLine line = ParseLine(key + "=" + value);
        if (std::optional<size_t> at = FindKey(section, key)) {
            m_lines[*at] = line;
            return;
        }
        size_t begin, end;
        if (!FindSection(section, begin, end)) {
            m_lines.push_back(ParseLine("[" + section + "]"));
            m_lines.push_back(line);
            return;
        }
        // After the section's last non-blank line, so blank separators stay between sections.
        size_t at = end;
        while (at > begin && Trim(m_lines[at - 1].text).empty()) --at;
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), line);
    }

    void Erase(size_t begin, size_t end) {
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(begin),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(end));
    }

    bool Save(const std::string& path) const {
        std::string bytes;
        for (const TLine& line : m_lines) bytes += line.text + "\r\n";
        return WriteFileAtomically(path, bytes);
    }

    const std::vector<TLine>& Lines() const { return m_lines; }

private:
    std::vector<TLine> m_lines;
};

bool Storable(const std::string& text) {
    return text.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

std::optional<std::string> IniReadValue(const std::string& path, const std::string& section,
                                        const std::string& key) {
    std::lock_guard<std::mutex> lock(FileMutex());
    CIniDocument doc(path);
    std::optional<size_t> at = doc.FindKey(section, key);
    if (!at)
        return std::nullopt;
    return doc.Lines()[*at].value;
}

bool IniWriteValue(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) {
    std::string trimmedKey = Trim(key);
    if (!Storable(value) || !Storable(section) || !Storable(key) || trimmedKey.empty() ||
        key.find('=') != std::string::npos || section.find(']') != std::string::npos) {
        return false;
    }
    std::lock_guard<std::mutex> lock(FileMutex());
    CIniDocument doc(path);
    std::optional<size_t> at = doc.FindKey(section, trimmedKey);
    if (at && doc.Lines()[*at].value == value)
        return true;
    doc.SetValue(section, trimmedKey, value);
    return doc.Save(path);
}

bool IniDeleteKey(const std::string& path, const std::string& section, const std::string& key) {
    std::lock_guard<std::mutex> lock(FileMutex());
    CIniDocument doc(path);
    std::optional<size_t> at = doc.FindKey(section, key);
    if (!at)
        return true;
    doc.Erase(*at, *at + 1);
    return doc.Save(path);
}

bool IniDeleteSections(const std::string& path, const std::string& prefix) {
    std::lock_guard<std::mutex> lock(FileMutex());
    CIniDocument doc(path);
    bool changed = false;
    for (size_t i = 0; i < doc.Lines().size();) {
        const TLine& line = doc.Lines()[i];
        if (line.kind == TLine::EKind::Section &&
            strncasecmp(line.name.c_str(), prefix.c_str(), prefix.size()) == 0) {
            size_t end = i + 1;
            while (end < doc.Lines().size() && doc.Lines()[end].kind != TLine::EKind::Section) ++end;
            doc.Erase(i, end);
            changed = true;
        } else {
            ++i;
        }
    }
    return !changed || doc.Save(path);
}

std::vector<std::string> IniSectionNames(const std::string& path) {
    std::lock_guard<std::mutex> lock(FileMutex());
    CIniDocument doc(path);
    std::vector<std::string> names;
    for (const TLine& line : doc.Lines()) {
        if (line.kind != TLine::EKind::Section)
            continue;
        bool seen = false;
        for (const std::string& n : names) seen = seen || SameName(n, line.name);
        if (!seen)
            names.push_back(line.name);
    }
    return names;
}

std::vector<std::string> IniKeyNames(const std::string& path, const std::string& section) {
    std::lock_guard<std::mutex> lock(FileMutex());
    CIniDocument doc(path);
    std::vector<std::string> names;
    size_t begin, end;
    if (!doc.FindSection(section, begin, end))
        return names;
    for (size_t i = begin; i < end; ++i) {
        const TLine& line = doc.Lines()[i];
        if (line.kind != TLine::EKind::Key)
            continue;
        bool seen = false;
        for (const std::string& n : names) seen = seen || SameName(n, line.name);
        if (!seen)
            names.push_back(line.name);
    }
    return names;
}

}  // namespace VEK

#include "platform/IniProfile.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include "platform/Folders.h"
#include "support/TextCodec.h"

namespace VEK {
namespace {

// Serialises read-modify-write cycles of the process's threads.
std::mutex& FileMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string_view Trim(std::string_view text) {
    size_t b = text.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return {};
    size_t e = text.find_last_not_of(" \t");
    return text.substr(b, e - b + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// One line as stored, with its section or key name and its value as parts of the text: a file of
// a million blank lines stays a few tens of megabytes.
class TLine {
public:
    enum class EKind : uint8_t { Other, Section, Key };

    explicit TLine(std::string text) : m_text(std::move(text)) {
        const std::string_view trimmed = Trim(m_text);
        if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#')
            return;
        if (trimmed[0] == '[') {
            const size_t close = trimmed.find(']');
            m_kind = EKind::Section;
            SetName(Trim(trimmed.substr(1, close == std::string_view::npos ? close : close - 1)));
            return;
        }
        const size_t eq = trimmed.find('=');
        if (eq == std::string_view::npos)
            return;
        m_kind = EKind::Key;
        SetName(Trim(trimmed.substr(0, eq)));
        std::string_view value = Trim(trimmed.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        m_valueAt = Offset(value);
        m_valueSize = static_cast<uint32_t>(value.size());
    }

    EKind Kind() const { return m_kind; }
    const std::string& Text() const { return m_text; }
    std::string_view Name() const { return std::string_view(m_text).substr(m_nameAt, m_nameSize); }
    std::string_view Value() const { return std::string_view(m_text).substr(m_valueAt, m_valueSize); }

private:
    uint32_t Offset(std::string_view part) const {
        return part.empty() ? 0 : static_cast<uint32_t>(part.data() - m_text.data());
    }
    void SetName(std::string_view name) {
        m_nameAt = Offset(name);
        m_nameSize = static_cast<uint32_t>(name.size());
    }

    std::string m_text;
    EKind m_kind = EKind::Other;
    uint32_t m_nameAt = 0, m_nameSize = 0, m_valueAt = 0, m_valueSize = 0;
};

// The text that reads back as value: in double quotes when reading would otherwise trim blanks at
// its ends or take off outer quotes of its own.
std::string StoredValue(const std::string& value) {
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    return quoted || Trim(value).size() != value.size() ? "\"" + value + "\"" : value;
}

bool Storable(const std::string& text) {
    return text.find_first_of("\r\n") == std::string::npos;
}

// Names compare without case; the first spelling stays.
void AddName(std::vector<std::string>& names, std::string_view name) {
    for (const std::string& n : names) {
        if (SameName(n, name))
            return;
    }
    names.emplace_back(name);
}

}  // namespace

class CIniDocument {
public:
    explicit CIniDocument(const std::string& text) {
        m_lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        // Byte order marks left after the one decoding takes off (a file saved with two): the
        // first line is read as what it is, and a rewrite leaves them out as the next read would.
        size_t pos = 0;
        while (text.compare(pos, 3, "\xEF\xBB\xBF") == 0) pos += 3;
        while (pos < text.size()) {
            size_t eol = text.find_first_of("\r\n", pos);
            if (eol == std::string::npos) {
                m_lines.emplace_back(text.substr(pos));
                break;
            }
            m_lines.emplace_back(text.substr(pos, eol - pos));
            pos = eol + (text[eol] == '\r' && eol + 1 < text.size() && text[eol + 1] == '\n' ? 2 : 1);
        }
        Index();
    }
    // The index refers into the lines: a copy builds its own.
    CIniDocument(const CIniDocument& other) : m_lines(other.m_lines) { Index(); }
    CIniDocument& operator=(const CIniDocument&) = delete;

    // [first line after the header, end of section) of the first section with that name.
    bool FindSection(const std::string& section, size_t& begin, size_t& end) const {
        const auto found = m_sections.find(section);
        if (found == m_sections.end())
            return false;
        begin = found->second + 1;
        const auto next = std::upper_bound(m_sectionLines.begin(), m_sectionLines.end(), found->second);
        end = next == m_sectionLines.end() ? m_lines.size() : *next;
        return true;
    }

    std::optional<size_t> FindKey(const std::string& section, const std::string& key) const {
        const auto header = m_sections.find(section);
        if (header == m_sections.end())
            return std::nullopt;
        const auto found = m_keys.find(TKeyRef{header->second, key});
        return found == m_keys.end() ? std::nullopt : std::optional<size_t>(found->second);
    }

    // A new key goes after its section's last non-blank line; keys written one after another into
    // the file's last section, as a new file is written, take a step each, not a new index.
    void SetValue(const std::string& section, const std::string& key, const std::string& value) {
        TLine line(key + "=" + StoredValue(value));
        if (std::optional<size_t> at = FindKey(section, key)) {
            // The line stays where it is: only its own entry changes.
            const size_t header = m_sections.find(section)->second;
            m_keys.erase(TKeyRef{header, key});
            m_lines[*at] = std::move(line);
            m_keys.emplace(TKeyRef{header, m_lines[*at].Name()}, *at);
            return;
        }
        size_t begin, end;
        if (!FindSection(section, begin, end)) {
            const size_t header = m_lines.size();
            const bool headerKept = Append(TLine("[" + section + "]"));
            if (!Append(std::move(line)) || !headerKept)
                return Index();
            m_sectionLines.push_back(header);
            if (m_sections.emplace(m_lines[header].Name(), header).second)
                m_keys.emplace(TKeyRef{header, m_lines[header + 1].Name()}, header + 1);
            return;
        }
        size_t at = end;
        while (at > begin && Trim(m_lines[at - 1].Text()).empty()) --at;
        if (at < m_lines.size()) {
            m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
            return Index();
        }
        if (!Append(std::move(line)))
            return Index();
        m_keys.emplace(TKeyRef{begin - 1, m_lines[at].Name()}, at);
    }

    // Every section whose name begins with prefix (without case), with its lines; false when none.
    bool EraseSections(const std::string& prefix) {
        std::vector<TLine> kept;
        kept.reserve(m_lines.size());
        bool erasing = false;
        for (TLine& line : m_lines) {
            if (line.Kind() == TLine::EKind::Section)
                erasing = SameName(line.Name().substr(0, prefix.size()), prefix);
            if (!erasing)
                kept.push_back(std::move(line));
        }
        const bool changed = kept.size() != m_lines.size();
        m_lines = std::move(kept);
        Index();
        return changed;
    }

    void Erase(size_t begin, size_t end) {
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(begin),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(end));
        Index();
    }

    std::string Text() const {
        std::string bytes;
        for (const TLine& line : m_lines) bytes.append(line.Text()).append("\r\n");
        return bytes;
    }

    const std::vector<TLine>& Lines() const { return m_lines; }

private:
    // Names hashed and compared without case.
    struct TNameHash {
        size_t operator()(std::string_view name) const {
            size_t hash = 0;
            for (char c : name)
                hash = hash * 31 + static_cast<size_t>(std::tolower(static_cast<unsigned char>(c)));
            return hash;
        }
    };
    struct TNameEqual {
        bool operator()(std::string_view a, std::string_view b) const { return SameName(a, b); }
    };
    // A key within the section whose header is at line `section`.
    struct TKeyRef {
        size_t section;
        std::string_view name;
    };
    struct TKeyHash {
        size_t operator()(const TKeyRef& key) const { return TNameHash()(key.name) * 131 + key.section; }
    };
    struct TKeyEqual {
        bool operator()(const TKeyRef& a, const TKeyRef& b) const {
            return a.section == b.section && SameName(a.name, b.name);
        }
    };

    // Appends a line; false when the lines moved to make room, which leaves the index referring
    // to text that has moved.
    bool Append(TLine line) {
        const bool moves = m_lines.size() == m_lines.capacity();
        m_lines.push_back(std::move(line));
        return !moves;
    }

    // Lookups cost the same whatever the file holds (a million blank lines, say): the first
    // section of each name and the first key of each name in it, as the profile functions read.
    void Index() {
        m_sectionLines.clear();
        m_sections.clear();
        m_keys.clear();
        size_t current = 0;
        bool first = false;  // the current section is the first of its name
        for (size_t i = 0; i < m_lines.size(); ++i) {
            const TLine& line = m_lines[i];
            if (line.Kind() == TLine::EKind::Section) {
                m_sectionLines.push_back(i);
                first = m_sections.emplace(line.Name(), i).second;
                current = i;
            } else if (line.Kind() == TLine::EKind::Key && first) {
                m_keys.emplace(TKeyRef{current, line.Name()}, i);
            }
        }
    }

    std::vector<TLine> m_lines;
    std::vector<size_t> m_sectionLines;
    std::unordered_map<std::string_view, size_t, TNameHash, TNameEqual> m_sections;
    std::unordered_map<TKeyRef, size_t, TKeyHash, TKeyEqual> m_keys;
};

CIniProfile::CIniProfile(std::string path, TReader reader)
    : m_path(std::move(path)), m_reader(std::move(reader)) {}
CIniProfile::CIniProfile(std::string path, TFileRead snapshot) : m_path(std::move(path)), m_snapshot(true) {
    if (snapshot.result == TFileRead::EResult::kFailed) {
        m_problem = std::move(snapshot.problem);
        return;
    }
    m_document = std::make_unique<CIniDocument>(DecodeTextBytes(snapshot.bytes));
    m_bytes = std::move(snapshot.bytes);
}
CIniProfile::CIniProfile(CIniProfile&&) noexcept = default;
CIniProfile& CIniProfile::operator=(CIniProfile&&) noexcept = default;
CIniProfile::~CIniProfile() = default;

const CIniDocument* CIniProfile::Load() {
    if (m_pending != nullptr)
        return m_pending.get();
    if (m_snapshot)
        return m_document.get();  // null when it could not be read: m_problem says why
    TFileRead read = m_reader ? m_reader(m_path) : ReadRegularFile(m_path, kMaxBytes);
    if (read.result == TFileRead::EResult::kFailed) {
        m_problem = read.problem;
        return nullptr;
    }
    m_problem.clear();
    if (m_document == nullptr || read.bytes != m_bytes) {
        m_document = std::make_unique<CIniDocument>(DecodeTextBytes(read.bytes));
        m_bytes = std::move(read.bytes);
    }
    return m_document.get();
}

bool CIniProfile::Change(const CIniDocument& current, const std::function<bool(CIniDocument&)>& change) {
    // While deferred the pending document is changed in place, not copied for every write.
    if (m_deferred && m_pending != nullptr) {
        change(*m_pending);
        return true;
    }
    auto document = std::make_unique<CIniDocument>(current);
    if (!change(*document))
        return true;
    if (!m_deferred)
        return Store(std::move(document));
    m_pending = std::move(document);
    return true;
}

bool CIniProfile::Commit() {
    std::lock_guard<std::mutex> lock(FileMutex());
    if (m_pending == nullptr)
        return true;
    return Store(std::move(m_pending));
}

bool CIniProfile::Store(std::unique_ptr<CIniDocument> document) {
    std::string bytes = document->Text();
    if (!WriteFileAtomically(m_path, bytes))
        return false;
    m_document = std::move(document);
    m_bytes = std::move(bytes);
    return true;
}

std::optional<std::string> CIniProfile::ReadValue(const std::string& section, const std::string& key) {
    std::lock_guard<std::mutex> lock(FileMutex());
    const CIniDocument* doc = Load();
    std::optional<size_t> at = doc ? doc->FindKey(section, key) : std::nullopt;
    if (!at)
        return std::nullopt;
    return std::string(doc->Lines()[*at].Value());
}

bool CIniProfile::WriteValue(const std::string& section, const std::string& key, const std::string& value) {
    const std::string trimmedKey(Trim(key));
    if (!Storable(value) || !Storable(section) || !Storable(key) || trimmedKey.empty() ||
        key.find('=') != std::string::npos || section.find(']') != std::string::npos) {
        return false;
    }
    std::lock_guard<std::mutex> lock(FileMutex());
    const CIniDocument* current = Load();
    if (current == nullptr)
        return false;
    std::optional<size_t> at = current->FindKey(section, trimmedKey);
    if (at && current->Lines()[*at].Value() == value)
        return true;
    return Change(*current, [&](CIniDocument& doc) {
        doc.SetValue(section, trimmedKey, value);
        return true;
    });
}

bool CIniProfile::DeleteKey(const std::string& section, const std::string& key) {
    std::lock_guard<std::mutex> lock(FileMutex());
    const CIniDocument* current = Load();
    if (current == nullptr)
        return false;
    std::optional<size_t> at = current->FindKey(section, key);
    if (!at)
        return true;
    return Change(*current, [&](CIniDocument& doc) {
        doc.Erase(*at, *at + 1);
        return true;
    });
}

bool CIniProfile::DeleteSections(const std::string& prefix) {
    std::lock_guard<std::mutex> lock(FileMutex());
    const CIniDocument* current = Load();
    if (current == nullptr)
        return false;
    return Change(*current, [&](CIniDocument& doc) { return doc.EraseSections(prefix); });
}

std::vector<std::string> CIniProfile::SectionNames() {
    std::lock_guard<std::mutex> lock(FileMutex());
    const CIniDocument* doc = Load();
    std::vector<std::string> names;
    if (doc == nullptr)
        return names;
    for (const TLine& line : doc->Lines()) {
        if (line.Kind() == TLine::EKind::Section)
            AddName(names, line.Name());
    }
    return names;
}

std::vector<std::string> CIniProfile::KeyNames(const std::string& section) {
    std::lock_guard<std::mutex> lock(FileMutex());
    const CIniDocument* doc = Load();
    std::vector<std::string> names;
    size_t begin, end;
    if (doc == nullptr || !doc->FindSection(section, begin, end))
        return names;
    for (size_t i = begin; i < end; ++i) {
        if (doc->Lines()[i].Kind() == TLine::EKind::Key)
            AddName(names, doc->Lines()[i].Name());
    }
    return names;
}

std::string CIniProfile::Problem() {
    std::lock_guard<std::mutex> lock(FileMutex());
    return m_problem;
}

}  // namespace VEK

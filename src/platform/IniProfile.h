#pragma once
// Private-profile functions over INI text files: sections and keys compared without case, a value
// is the text after '=' trimmed (outer double quotes removed), the first of duplicate sections or
// keys wins. Writes keep comments, unknown keys and order and replace the file atomically.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegularFile.h"

namespace VEK {

class CIniDocument;

// One INI file. It is parsed again only when its bytes have changed, so a run of reads costs one
// read of at most kMaxBytes each and one parse. Only a missing file reads as empty: a file that cannot be
// read (permissions, an I/O error, not a regular file, over kMaxBytes) reads as empty too but refuses every
// write, so a write never replaces settings it could not read.
class CIniProfile {
public:
    static constexpr size_t kMaxBytes = 1 << 20;
    // Reads the file's bytes; replaceable to inject read failures.
    using TReader = std::function<TFileRead(const std::string& path)>;

    explicit CIniProfile(std::string path, TReader reader = {});
    // One version of the file, read by the caller: every read comes from it, parsed once, and the
    // file is never read again, so a run of reads neither mixes versions nor copies the bytes for
    // each key. Writes still replace the file (and are read back from then on).
    CIniProfile(std::string path, TFileRead snapshot);
    CIniProfile(CIniProfile&&) noexcept;
    CIniProfile& operator=(CIniProfile&&) noexcept;
    ~CIniProfile();

    const std::string& Path() const { return m_path; }
    // Deferred: writes change the document in memory only, and Commit replaces the file once with
    // all of them (a file of a hundred keys is not replaced a hundred times).
    void SetDeferred(bool deferred) { m_deferred = deferred; }
    // Writes the pending changes; true when there were none or the file was replaced.
    bool Commit();
    std::optional<std::string> ReadValue(const std::string& section, const std::string& key);
    // Writes key=value; a write of the current value leaves the file untouched. A value that would
    // not read back as it is (blanks at an end, outer double quotes) is stored in double quotes.
    // Values holding CR or LF, and section or key names that cannot be stored, are refused.
    bool WriteValue(const std::string& section, const std::string& key, const std::string& value);
    // Removes the key's line; true when the key is absent afterwards.
    bool DeleteKey(const std::string& section, const std::string& key);
    // Removes every section whose name begins with the given name (without case).
    bool DeleteSections(const std::string& prefix);
    std::vector<std::string> SectionNames();
    std::vector<std::string> KeyNames(const std::string& section);
    // Why the file could not be read at the last access, e.g. "is not a regular file"; empty when
    // it was read or is missing.
    std::string Problem();

private:
    // The file's current document (with the pending changes); null when it cannot be read. Called
    // with the process's INI lock held.
    const CIniDocument* Load();
    // Applies change (true when it changed something) to the current document, and replaces the
    // file with the result or, while deferred, keeps it pending.
    bool Change(const CIniDocument& current, const std::function<bool(CIniDocument&)>& change);
    bool Store(std::unique_ptr<CIniDocument> document);

    std::string m_path;
    TReader m_reader;
    std::string m_bytes;  // what m_document was parsed from
    std::unique_ptr<CIniDocument> m_document;
    std::unique_ptr<CIniDocument> m_pending;  // deferred changes, not yet in the file
    bool m_deferred = false;
    bool m_snapshot = false;  // m_document is the only version read
    std::string m_problem;
};

}  // namespace VEK

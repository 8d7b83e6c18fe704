// Feeds arbitrary bytes to the INI reader as define.ini, lastone.ini or VekLogger.ini. Every key it
// lists reads as present. Written back into the same file, every value leaves the file as it was;
// a new key changes nothing else, and the file written reads back to the same contents, also when
// each value is written into a file of its own.
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "platform/IniProfile.h"
#include "platform/RegularFile.h"
#include "support/TextCodec.h"

namespace {

using fuzz::Require;
using TContents = std::map<std::pair<std::string, std::string>, std::string>;

// Section and key names compare without case: the contents keyed by the names as listed.
TContents Contents(VEK::CIniProfile& profile) {
    TContents contents;
    for (const std::string& section : profile.SectionNames()) {
        for (const std::string& key : profile.KeyNames(section)) {
            const std::optional<std::string> value = profile.ReadValue(section, key);
            Require(value.has_value());
            Require(value->find_first_of("\r\n") == std::string::npos);
            contents[{section, key}] = *value;
        }
    }
    return contents;
}

bool AmbiguousText(const std::string& path) {
    const VEK::TFileRead read = VEK::ReadRegularFile(path, 1 << 20);
    return VEK::IsValidUtf8(read.bytes) && VEK::IsCp932Text(read.bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::Folder() + "/settings.ini";
    VEK::CIniProfile profile(path, VEK::TFileRead{VEK::TFileRead::EResult::kRead,
                                                  std::string(reinterpret_cast<const char*>(data), size),
                                                  {}});
    const TContents contents = Contents(profile);

    // The same values into the same file: nothing to write.
    profile.SetDeferred(true);
    for (const auto& [name, value] : contents) {
        // A key without a name is read, but never written.
        if (!name.second.empty())
            Require(profile.WriteValue(name.first, name.second, value));
    }
    // A new key in the first section: every other value stays.
    const std::vector<std::string> sections = profile.SectionNames();
    const std::string section = sections.empty() ? "fuzz" : sections.front();
    std::string key = "fuzz-new-key";
    while (profile.ReadValue(section, key)) key += "+";
    Require(profile.WriteValue(section, key, " \"new\" "));
    Require(profile.ReadValue(section, key) == " \"new\" ");
    TContents changed = Contents(profile);
    Require(changed.erase({section, key}) == 1);
    Require(changed == contents);

    // On the disk and read again.
    std::remove(path.c_str());
    Require(profile.Commit());
    // Written UTF-8 whose every character outside ASCII is also a pair of half-width katakana codes
    // reads back as CP932, as files of Windows installations must: a known limit, not a finding.
    if (AmbiguousText(path))
        return 0;
    VEK::CIniProfile reread(path);
    TContents written = Contents(reread);
    Require(written.erase({section, key}) == 1);
    Require(written == contents);

    // Each value alone into a new file.
    TContents expected = contents;
    std::erase_if(expected, [](const auto& entry) { return entry.first.second.empty(); });
    std::remove(path.c_str());
    VEK::CIniProfile fresh(path);
    fresh.SetDeferred(true);
    for (const auto& [name, value] : expected) Require(fresh.WriteValue(name.first, name.second, value));
    Require(fresh.Commit());
    if (AmbiguousText(path))
        return 0;
    VEK::CIniProfile freshReread(path);
    Require(Contents(freshReread) == expected);
    return 0;
}

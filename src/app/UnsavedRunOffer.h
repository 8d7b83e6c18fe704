#pragma once
#include <functional>
#include <string>

#include "dialogs/OperatorPrompt.h"
#include "files/UnsavedRun.h"

// Runs that were never saved, offered back to the operator with Open, Keep and Delete: one by one
// at start-up, as a list from the File menu. Nothing is deleted without the operator's word twice,
// and a file that fails to load is named and kept.
class CUnsavedRunOffer {
public:
    enum class EOpen { kOpened, kDeclined, kFailed };
    // Loads a working file into the window (which may first ask to discard its own data).
    using TOpen = std::function<EOpen(const std::string& path)>;

    // Both borrowed.
    CUnsavedRunOffer(IOperatorPrompt& prompt, TOpen open) : m_prompt(prompt), m_open(std::move(open)) {}

    // Start-up: every run that waits, newest first, until one is opened. ownWorkingFile is never
    // offered.
    void OfferEach(const std::string& ownWorkingFile);
    // File > Recover Unsaved Runs…
    void ShowList(const std::string& ownWorkingFile);

    static std::string OfferText(const VEK::TUnsavedRun& run);

private:
    // True when the run was opened.
    bool Open(const VEK::TUnsavedRun& run);
    // Asks once more; true when the file was deleted.
    bool ConfirmDelete(const VEK::TUnsavedRun& run);
    // Another program may have taken the file since it was listed; says so when it has.
    bool StillWaiting(const VEK::TUnsavedRun& run);

    IOperatorPrompt& m_prompt;
    TOpen m_open;
};

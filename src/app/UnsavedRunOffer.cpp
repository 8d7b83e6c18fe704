#include "app/UnsavedRunOffer.h"

#include "dialogs/UnsavedRunsDlg.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"

namespace {

enum EButton : size_t { kOpenButton, kKeepButton, kDeleteButton };

}  // namespace

std::string CUnsavedRunOffer::OfferText(const VEK::TUnsavedRun& run) {
    return "A measurement started on " + run.startTime.Format() + " was not saved (" +
           std::to_string(run.records) + " records, " + std::to_string(run.channels) +
           " channels). Open it now?";
}

void CUnsavedRunOffer::OfferEach(const std::string& ownWorkingFile) {
    for (const VEK::TUnsavedRun& run : VEK::FindUnsavedRuns(VEK::WorkFolder(), ownWorkingFile)) {
        IOperatorPrompt::TChoice choice{OfferText(run), {"Open", "Keep", "Delete"}, kOpenButton, kKeepButton};
        const size_t answer = m_prompt.Choose(choice);
        if (answer == kOpenButton && Open(run))
            return;
        if (answer == kDeleteButton)
            ConfirmDelete(run);
    }
}

void CUnsavedRunOffer::ShowList(const std::string& ownWorkingFile) {
    CUnsavedRunsDlg dialog(VEK::FindUnsavedRuns(VEK::WorkFolder(), ownWorkingFile),
                           [this](const VEK::TUnsavedRun& run) { return ConfirmDelete(run); });
    if (m_prompt.Run(dialog) == CUnsavedRunsDlg::kOpen && dialog.Chosen())
        Open(*dialog.Chosen());
}

bool CUnsavedRunOffer::Open(const VEK::TUnsavedRun& run) {
    if (!StillWaiting(run))
        return false;
    const EOpen result = m_open(run.path);
    if (result == EOpen::kFailed)
        m_prompt.Tell(IOperatorPrompt::EIcon::kError,
                      "Failed to read data from the file.\n" + run.path + "\nThe file is kept.");
    return result == EOpen::kOpened;
}

bool CUnsavedRunOffer::ConfirmDelete(const VEK::TUnsavedRun& run) {
    IOperatorPrompt::TQuestion question{"The measurement started on " + run.startTime.Format() + " (" +
                                            std::to_string(run.records) +
                                            " records) is deleted for good. Is it ok?",
                                        "Delete unsaved measurement", true};
    if (!m_prompt.Ask(question) || !StillWaiting(run))
        return false;
    if (!VEK::DeleteUnsavedRun(run.path)) {
        m_prompt.Tell(IOperatorPrompt::EIcon::kError, "Failed to delete the file.\n" + run.path);
        return false;
    }
    VEK::TraceLogger().Trace("保存されていない測定[%s]を削除しました。", run.path.c_str());
    return true;
}

bool CUnsavedRunOffer::StillWaiting(const VEK::TUnsavedRun& run) {
    const std::optional<VEK::TUnsavedRun> now = VEK::DescribeUnsavedRun(run.path);
    if (now && !VEK::IsOwnedOrGrowing(*now))
        return true;
    m_prompt.Tell(IOperatorPrompt::EIcon::kInformation,
                  "The file is no longer waiting: another program has taken it.\n" + run.path);
    return false;
}

#pragma once
#include <optional>
#include <string>
#include <vector>

class QDialog;

// Every question, message, file choice and modal dialog the operator sees goes through here, so
// that each is modal to the main window only (a window without a parent, such as the counterpart
// window, stays usable) and tests can answer them without an event loop.
class IOperatorPrompt {
public:
    enum class EIcon { kInformation, kQuestion, kExclamation, kError };

    struct TQuestion {
        std::string text;
        // Empty: the program file's base name.
        std::string caption{};
        bool cancelPreselected = false;
        // Above every other window (the quit question of the start-up gate).
        bool topMost = false;
    };

    struct TFileRequest {
        bool save = false;
        // "DATA File (*.csv)|*.csv|All Files (*.*)|*.*||": pairs of a name and its patterns.
        std::string filter;
        // Added when the chosen name has none; given as "*.csv".
        std::string defaultExtension;
        // Save only: the name proposed in the dialog (no folder).
        std::string proposedName{};
        std::string startFolder{};
    };

    struct TChoice {
        std::string text;
        std::vector<std::string> buttons;
        // The button Enter presses, and the one closing the box (Escape) stands for.
        size_t defaultButton = 0;
        size_t escapeButton = 0;
        // Empty: the program file's base name.
        std::string caption{};
    };

    virtual ~IOperatorPrompt() = default;

    // OK/Cancel with the question icon; true for OK.
    virtual bool Ask(const TQuestion& question) = 0;
    // A question with buttons of its own; the index of the button pressed.
    virtual size_t Choose(const TChoice& choice) = 0;
    // One OK button.
    virtual void Tell(EIcon icon, const std::string& text, const std::string& caption = {}) = 0;
    // The chosen file's full path; nothing when cancelled. A save asks before overwriting.
    virtual std::optional<std::string> ChooseFile(const TFileRequest& request) = 0;
    // Runs a dialog whose parent is the main window; its result code.
    virtual int Run(QDialog& dialog) = 0;
};

// The record a scripted presenter keeps of what it was shown and what it did: every page and
// dialog shown, every box with its answer, every action taken, and the problems met.
#pragma once

#include <string>
#include <vector>

#include "platform/Presenter.h"
#include "win32/Export.h"

namespace vesk::ui {

/// One event of a transcript.
struct TranscriptEntry {
    enum class Kind {
        Page,       ///< a dialog or sheet page was shown (`page`)
        Action,     ///< the presenter acted (`text`: the action as a script line)
        Box,        ///< a message box was shown and answered (`box`, `answer`)
        Directory,  ///< the directory chooser was shown (`request`; `text`: the path chosen,
                    ///< empty when cancelled)
        Help,       ///< help was shown (`help`)
        Wait,       ///< the wait-cursor count changed (`answer` holds the new count)
        Closed,     ///< a modal window ended (`text`: its caption)
        Note,       ///< something worth knowing (`text`), e.g. running out of actions
        Error,      ///< the script and the windows disagreed (`text` says how)
    };
    Kind kind = Kind::Note;
    WindowView page;
    BoxRequest box;
    int answer = 0;
    DirectoryRequest request;
    HelpRequest help;
    std::string text;
};

/// An ordered list of events with ways to find them and a text form.
class VESK_EXPORT Transcript {
public:
    /// Appends one event.
    void add(TranscriptEntry entry);

    const std::vector<TranscriptEntry>& entries() const { return entries_; }
    /// Every page shown, in order.
    std::vector<const WindowView*> pages() const;
    /// Every page shown from template `templateId`, in order.
    std::vector<const WindowView*> pagesOf(int templateId) const;
    /// The most recent page shown, or null.
    const WindowView* lastPage() const;
    /// Every box, in order.
    std::vector<const TranscriptEntry*> boxes() const;
    /// The texts of every Error entry; empty when the script and the windows agreed.
    std::vector<std::string> errors() const;
    /// True when a Note says the script ran out of actions.
    bool ranOut() const;

    /// The text form, UTF-8, one event per block (see ScriptedPresenter.h for an example).
    std::string toText() const;
    /// Writes toText() to `path` (replacing it). False when the file cannot be written.
    bool writeFile(const std::string& path) const;

    /// The text form of one page (also used by the line presenter's tests).
    static std::string pageText(const WindowView& page);

private:
    std::vector<TranscriptEntry> entries_;
};

}  // namespace vesk::ui

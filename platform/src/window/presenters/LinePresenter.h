// The line presenter: for use without a terminal. Prints each page as plain lines, asks for
// each field in turn and offers the buttons by name; message boxes, the directory chooser
// and help are questions and text too. Answers are read one line each; the end of input
// cancels (the window is closed as Cancel does, then aborted if it stays open).
//
// Answers: an empty line keeps a field's value, a lone "-" empties it; list and combo boxes
// take an item's number or its text; check boxes take y or n; buttons and box answers take
// their name (case does not matter, '&' and arrows left out), its accelerator letter, or
// the first letters of one name.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Presenter.h"

namespace vesk::ui {

class LinePresenter : public Presenter {
public:
    /// Reads answers from `inputFd` and writes to `outputFd`; neither is closed.
    LinePresenter(int inputFd, int outputFd);

    Input nextInput(const WindowView& view) override;
    void inputRejected(const Input& input, const std::string& reason) override;
    void windowClosed(HWND window) override;
    int messageBox(const BoxRequest& box) override;
    bool chooseDirectory(const DirectoryRequest& request, std::string* chosen) override;
    bool showHelp(const HelpRequest& help) override;
    void waitCursorChanged(int count) override;

private:
    bool readLine(std::string* line);
    void write(const std::string& cp1252);
    void printPage(const WindowView& view);
    bool askFields(const WindowView& view);
    bool askButton(const WindowView& view);
    Input cancelling(const WindowView& view);

    int in_;
    int out_;
    std::string buffer_;
    bool eof_ = false;
    std::deque<Input> pending_;
    std::vector<HWND> closing_;
};

}  // namespace vesk::ui

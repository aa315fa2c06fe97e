#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace dravia {

struct ModelState;

enum class MessageIcon { None, Information, Error };

// The few services the engine needs from whoever runs it: a window (QtHost),
// a terminal (HeadlessHost) or a test (ScriptedHost).
class Host {
  public:
    virtual ~Host() = default;

    // A modal message box with one OK button and the application's title as caption.
    virtual void showMessage(const std::string& text, MessageIcon icon = MessageIcon::None) = 0;
    // A message box with OK and Cancel; true when the user answered OK.
    virtual bool askOkCancel(const std::string& text) = 0;
    // The pause dialog between years; true for OK (go on), false for Cancel (end the run).
    virtual bool showPauseDialog() = 0;
    // Redraw the plot view at once (invalidate, erase, update now).
    virtual void repaintNow(ModelState& model) = 0;
    // Place the display slots, compute the plot image geometry and the slot drawing order.
    // A host without a display may do nothing: the layout saves and restores the random state.
    virtual void layOutDisplay(ModelState& model) = 0;
    // Take the window messages already waiting; a quit request throws ProgramExit{0}.
    virtual void processPendingEvents() = 0;
    // Sleep 20 ms while a run is paused.
    virtual void sleepWhilePaused() = 0;
    // The "Stat Results" box: title line above the report text.
    virtual void showStatResults(const std::string& title, const std::string& text) = 0;
    // The program's standard output stream.
    virtual void writeStandardOutput(std::string_view text) = 0;
    // Every plot has been through the year CURRENT_YEAR of CURRENT_ITERATION (progress displays).
    virtual void yearCompleted(const ModelState&) {}
    // A steady clock, for a host that paces a run to a speed a person can follow; tests give
    // their host a clock they move themselves.
    virtual std::chrono::steady_clock::time_point now() const { return std::chrono::steady_clock::now(); }
};

}  // namespace dravia

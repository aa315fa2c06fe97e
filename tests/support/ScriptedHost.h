#pragma once

#include <deque>
#include <string>
#include <vector>

#include "model/ModelState.h"
#include "platform/Host.h"

namespace dravia::test {

// A host for tests: records every message and answers as told.
class ScriptedHost : public Host {
  public:
    struct Message {
        std::string text;
        MessageIcon icon;
    };
    std::vector<Message> messages;
    std::vector<std::string> questions;
    std::string standardOutput;
    int pauseDialogs = 0;
    std::vector<int> pauseYears;  // CURRENT_YEAR at each pause dialog (when model is set)
    int repaints = 0;
    int layouts = 0;
    std::deque<bool> pauseAnswers;     // answers of the pause dialog; OK when empty
    std::deque<bool> questionAnswers;  // answers of OK/Cancel questions; OK when empty
    std::string statTitle, statText;
    ModelState* model = nullptr;

    void showMessage(const std::string& text, MessageIcon icon) override { messages.push_back({text, icon}); }
    bool askOkCancel(const std::string& text) override {
        questions.push_back(text);
        return take(questionAnswers);
    }
    bool showPauseDialog() override {
        ++pauseDialogs;
        if (model) pauseYears.push_back(model->run.CURRENT_YEAR);
        return take(pauseAnswers);
    }
    void repaintNow(ModelState&) override { ++repaints; }
    void layOutDisplay(ModelState&) override { ++layouts; }
    void processPendingEvents() override {}
    void sleepWhilePaused() override {}
    void showStatResults(const std::string& title, const std::string& text) override {
        statTitle = title;
        statText = text;
    }
    void writeStandardOutput(std::string_view text) override { standardOutput.append(text); }

    std::string lastMessage() const { return messages.empty() ? std::string() : messages.back().text; }

  private:
    static bool take(std::deque<bool>& answers) {
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace dravia::test

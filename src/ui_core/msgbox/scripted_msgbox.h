#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {

// A message box for tests: records every question and answers from a script.
// Install it with `auto box = ScriptedMsgBox::Install();` and use box->...;
// the previous presenter returns when the guard goes out of scope.
class ScriptedMsgBox : public MsgBoxPresenter {
public:
    struct Question {
        std::string prompt;
        std::int32_t buttons = 0;
        std::string title;
        MsgBoxRequest request;
    };

    // Queues fixed answers, taken in order.
    void Answer(int code) { answers_.push_back(code); }
    void Answers(std::initializer_list<int> codes) { answers_.insert(answers_.end(), codes); }
    // Decides each answer when no fixed one is queued.
    void AnswerWith(std::function<int(const Question&)> responder) { responder_ = std::move(responder); }
    // The answer when nothing else applies.
    void SetDefaultAnswer(int code) { defaultAnswer_ = code; }

    const std::vector<Question>& Questions() const { return questions_; }
    const Question& Last() const { return questions_.back(); }
    int Count() const { return static_cast<int>(questions_.size()); }
    void Clear() { questions_.clear(); }

    int Present(const MsgBoxRequest& request) override;

    class Guard {
    public:
        Guard(std::shared_ptr<ScriptedMsgBox> box, std::shared_ptr<MsgBoxPresenter> previous);
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
        ScriptedMsgBox* operator->() const { return box_.get(); }
        ScriptedMsgBox& operator*() const { return *box_; }

    private:
        std::shared_ptr<ScriptedMsgBox> box_;
        std::shared_ptr<MsgBoxPresenter> previous_;
    };

    static Guard Install();

private:
    std::vector<Question> questions_;
    std::deque<int> answers_;
    std::function<int(const Question&)> responder_;
    int defaultAnswer_ = kMsgNone;
};

}  // namespace corvane

// A TUiPrompts for GUI tests: answers come from queues the test fills, and every question,
// file dialog, modal dialog and beep is recorded.
#pragma once

#include "ui/UiPrompts.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <utility>
#include <vector>

namespace kv::test {

struct TRecordedMessage {
    QString Text;
    TMsgType Type;
    TMsgButtons Buttons;
};

class TScriptedPrompts final : public TUiPrompts {
public:
    // Answers for the next message boxes, in order; with none queued a box answers Ok for Ok
    // boxes and fails the test otherwise (an unexpected question).
    std::deque<TMsgAnswer> Answers;
    // File names for the next file dialogs; an empty string is a cancelled dialog.
    std::deque<QString> Files;
    // Scripts for the next modal dialogs: each receives the dialog, may fill it in and click,
    // and returns the dialog's result. With none queued a dialog is rejected.
    std::deque<std::function<int(QDialog&)>> Dialogs;

    std::vector<TRecordedMessage> Messages;
    std::vector<TFileDialogSpec> FileDialogs;
    QStringList OpenedUrls;
    int Beeps = 0;
    int UnexpectedQuestions = 0;

    TMsgAnswer Message(QWidget*, const QString& text, TMsgType type,
                       TMsgButtons buttons) override {
        Messages.push_back({text, type, buttons});
        if (!Answers.empty()) return PopFront(Answers);
        if (buttons == TMsgButtons::Ok) return TMsgAnswer::Ok;
        ++UnexpectedQuestions;
        return TMsgAnswer::Cancel;
    }
    QString ChooseFile(QWidget*, const TFileDialogSpec& desc) override {
        FileDialogs.push_back(desc);
        return Files.empty() ? QString() : PopFront(Files);
    }
    int RunModal(QDialog& dialog) override {
        return Dialogs.empty() ? int{QDialog::Rejected} : PopFront(Dialogs)(dialog);
    }
    void Beep() override { ++Beeps; }
    void OpenUrl(const QString& url) override { OpenedUrls << url; }

private:
    template <class T> static T PopFront(std::deque<T>& queue) {
        T front = std::move(queue.front());
        queue.pop_front();
        return front;
    }
};

} // namespace kv::test

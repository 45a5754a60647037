// A TUiPrompts for GUI tests: answers come from queues the test fills, and every question,
// file dialog, modal dialog and beep is recorded.
#pragma once

#include "ui/UiPrompts.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
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

    TMsgAnswer Message(QWidget* parent, const QString& text, TMsgType type,
                       TMsgButtons buttons) override;
    QString ChooseFile(QWidget* parent, const TFileDialogSpec& desc) override;
    int RunModal(QDialog& dialog) override;
    void Beep() override { ++Beeps; }
    void OpenUrl(const QString& url) override { OpenedUrls << url; }
};

} // namespace kv::test

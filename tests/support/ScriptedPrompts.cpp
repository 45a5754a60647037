#include "support/ScriptedPrompts.h"

namespace kv::test {

namespace {
template <class T> T PopFront(std::deque<T>& queue) {
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}
} // namespace

TMsgAnswer TScriptedPrompts::Message(QWidget*, const QString& text, TMsgType type,
                                     TMsgButtons buttons) {
    Messages.push_back({text, type, buttons});
    if (!Answers.empty()) return PopFront(Answers);
    if (buttons == TMsgButtons::Ok) return TMsgAnswer::Ok;
    ++UnexpectedQuestions;
    return TMsgAnswer::Cancel;
}

QString TScriptedPrompts::ChooseFile(QWidget*, const TFileDialogSpec& desc) {
    FileDialogs.push_back(desc);
    return Files.empty() ? QString() : PopFront(Files);
}

int TScriptedPrompts::RunModal(QDialog& dialog) {
    return Dialogs.empty() ? int{QDialog::Rejected} : PopFront(Dialogs)(dialog);
}

} // namespace kv::test

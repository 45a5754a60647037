#include "support/ScriptedPrompts.h"

namespace kv::test {

TMsgAnswer TScriptedPrompts::Message(QWidget*, const QString& text, TMsgType type,
                                     TMsgButtons buttons) {
    Messages.push_back({text, type, buttons});
    if (!Answers.empty()) {
        const TMsgAnswer a = Answers.front();
        Answers.pop_front();
        return a;
    }
    if (buttons == TMsgButtons::Ok) return TMsgAnswer::Ok;
    ++UnexpectedQuestions;
    return TMsgAnswer::Cancel;
}

QString TScriptedPrompts::ChooseFile(QWidget*, const TFileDialogSpec& desc) {
    FileDialogs.push_back(desc);
    if (Files.empty()) return {};
    QString f = Files.front();
    Files.pop_front();
    return f;
}

int TScriptedPrompts::RunModal(QDialog& dialog) {
    if (Dialogs.empty()) return QDialog::Rejected;
    auto script = std::move(Dialogs.front());
    Dialogs.pop_front();
    return script(dialog);
}

} // namespace kv::test

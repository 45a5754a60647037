// The one seam through which the GUI asks the user things: message boxes, file dialogs, modal
// dialogs, beeps and opening addresses. The program uses the Qt implementation; tests script
// the answers.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace kv {

enum class TMsgType { Warning, Error, Information, Confirmation };
enum class TMsgButtons { Ok, YesNo, YesNoCancel, YesCancel };
enum class TMsgAnswer { Ok, Yes, No, Cancel };

struct TFileDialogSpec {
    QString Title;
    QString Filter;           // "Description|pattern|Description|pattern"
    QString DefaultExtension; // without the dot; added to a name that has none
    QString InitialFileName;
    bool ForSave = false;
    bool PromptOverwrite = false; // save: ask before replacing an existing file
    bool FileMustExist = false;   // open: only existing files
};

class TUiPrompts {
public:
    virtual ~TUiPrompts() = default;

    // A standard message box; closing it without a button counts as Cancel (or No, or Ok
    // where those are the only buttons).
    virtual TMsgAnswer Message(QWidget* parent, const QString& text, TMsgType type,
                               TMsgButtons buttons) = 0;
    // The chosen file's full path, or an empty string when the user cancelled.
    virtual QString ChooseFile(QWidget* parent, const TFileDialogSpec& desc) = 0;
    // Runs a modal dialog and returns its result (QDialog::Accepted or Rejected).
    virtual int RunModal(QDialog& dialog) = 0;
    // The default system beep.
    virtual void Beep() = 0;
    virtual void OpenUrl(const QString& url) = 0;
};

// The real dialogs of the desktop.
class TQtPrompts final : public TUiPrompts {
public:
    TMsgAnswer Message(QWidget* parent, const QString& text, TMsgType type,
                       TMsgButtons buttons) override;
    QString ChooseFile(QWidget* parent, const TFileDialogSpec& desc) override;
    int RunModal(QDialog& dialog) override;
    void Beep() override;
    void OpenUrl(const QString& url) override;
};

// "Text files (*.txt)|*.txt|All files (*.*)|*.*" as Qt's name filters.
[[nodiscard]] QStringList QtNameFilters(const QString& filter);
// Adds ".Extension" when the file name part has no extension.
[[nodiscard]] QString WithDefaultExtension(const QString& path, const QString& extension);

} // namespace kv

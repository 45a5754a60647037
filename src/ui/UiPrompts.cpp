#include "ui/UiPrompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace kv {

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The description already names the patterns in the usual filters; Qt reads the
        // patterns from the parentheses, so make sure they are there.
        const QString& desc = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        result << (desc.contains(QLatin1Char('(')) ? desc : desc + " (" + patterns + ")");
    }
    return result;
}

QString WithDefaultExtension(const QString& path, const QString& extension) {
    if (path.isEmpty() || extension.isEmpty()) return path;
    const QString name = QFileInfo(path).fileName();
    if (name.contains(QLatin1Char('.'))) return path;
    return path + "." + extension;
}

TMsgAnswer TQtPrompts::Message(QWidget* parent, const QString& text, TMsgType type,
                               TMsgButtons buttons) {
    QMessageBox box(parent);
    QString title = QApplication::applicationName();
    switch (type) {
    case TMsgType::Warning:
        box.setIcon(QMessageBox::Warning);
        title = "Warning";
        break;
    case TMsgType::Error:
        box.setIcon(QMessageBox::Critical);
        title = "Error";
        break;
    case TMsgType::Information:
        box.setIcon(QMessageBox::Information);
        title = "Information";
        break;
    case TMsgType::Confirmation:
        box.setIcon(QMessageBox::Question);
        title = "Confirm";
        break;
    }
    box.setWindowTitle(title);
    // Message texts use "\r" for line breaks, as the Windows message boxes do.
    box.setText(QString(text).replace("\r\n", "\n").replace(QLatin1Char('\r'), QLatin1Char('\n')));
    switch (buttons) {
    case TMsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case TMsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case TMsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case TMsgButtons::YesCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
        break;
    }
    const int r = box.exec();
    switch (r) {
    case QMessageBox::Yes: return TMsgAnswer::Yes;
    case QMessageBox::No: return TMsgAnswer::No;
    case QMessageBox::Ok: return TMsgAnswer::Ok;
    default:
        if (buttons == TMsgButtons::Ok) return TMsgAnswer::Ok;
        return buttons == TMsgButtons::YesNo ? TMsgAnswer::No : TMsgAnswer::Cancel;
    }
}

QString TQtPrompts::ChooseFile(QWidget* parent, const TFileDialogSpec& desc) {
    QFileDialog dlg(parent, desc.Title);
    dlg.setNameFilters(QtNameFilters(desc.Filter));
    dlg.setDefaultSuffix(desc.DefaultExtension);
    if (desc.ForSave) {
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setOption(QFileDialog::DontConfirmOverwrite, !desc.PromptOverwrite);
    } else {
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(desc.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if (!desc.InitialFileName.isEmpty()) dlg.selectFile(desc.InitialFileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().constFirst();
}

int TQtPrompts::RunModal(QDialog& dialog) { return dialog.exec(); }

void TQtPrompts::Beep() { QApplication::beep(); }

void TQtPrompts::OpenUrl(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

} // namespace kv

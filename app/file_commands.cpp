// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_commands.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>


#include "ui/notice_texts.h"
#include "ui/qt_text.h"
#include "ui/text_table.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq {
namespace {

std::string ToStd(const QString& s) { return s.toUtf8().toStdString(); }

QString RunDialog(QWidget* parent, const QString& startName, bool save) {
  QFileDialog dialog(parent);
  dialog.setObjectName(save ? "SaveDialog1" : "OpenDialog1");
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(save ? QStringList{"Ignition Parametrs(*.ign)"}
                             : QStringList{"Ignition Parametrs(*.ign)", "All Files (*.*)"});
  dialog.selectNameFilter("Ignition Parametrs(*.ign)");
  // The window adds the extension and asks before overwriting, for the final name.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!startName.isEmpty()) {
    const QFileInfo info(startName);
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

}  // namespace

QString WithDefaultExtension(const QString& path) {
  const QFileInfo info(path);
  if (info.fileName().isEmpty() || !info.suffix().isEmpty()) return path;
  return path.endsWith('.') ? path + "ign" : path + ".ign";
}

FileCommands::FileCommands(Workspace& workspace, WindowFace& window, QString dataIgnPath)
    : QObject(window.dialogParent()),
      ws_(workspace),
      window_(window),
      dataIgnPath_(std::move(dataIgnPath)) {
  openDialog = [this](const QString& start) { return RunDialog(window_.dialogParent(), start, false); };
  saveDialog = [this](const QString& start) { return RunDialog(window_.dialogParent(), start, true); };
  ctrlHeld = [] { return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0; };
}

QString FileCommands::dialogFileName() const {
  return dialogName_.isEmpty() ? iniDir_ : dialogName_;
}

void FileCommands::remember(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  iniDir_ = full;
  dialogName_ = full;
}

void FileCommands::showFileError(const QString& reason) {
  QString text = FromStd(ws_.texts().text(TxtOpenFileError));
  if (!reason.isEmpty())
    text += "\n" + FromStd(LocalizedFileReason(ws_.language(), ToStd(reason)));
  window_.showMessage(text);
}

void FileCommands::MenuOpenExeDirClick() {
  dialogName_ = dataIgnPath_;
  MenuOpenClick();
}

void FileCommands::MenuSaveExeDirClick() {
  dialogName_ = dataIgnPath_;
  MenuSaveClick();
}

void FileCommands::MenuOpenClick(bool fromToolStrip) {
  window_.commitPendingEdit();
  if (fromToolStrip && ctrlHeld()) dialogName_ = dataIgnPath_;
  const QString path = openDialog(dialogFileName());
  if (!path.isEmpty()) OpenConfigurationFile(path);
  window_.hideStatusLine();
}

bool FileCommands::OpenConfigurationFile(const QString& path) {
  const Workspace::OpenResult r = ws_.open(ToStd(path), window_.currentPage());
  if (!r.error.empty()) {
    showFileError(FromStd(r.error));
    return false;
  }
  if (r.notConfiguration)
    showFileError(QString::fromUtf8(NoticeText(ws_.language(), NoticeNotConfigurationFile)));
  if (!r.loaded) return false;
  remember(path);
  return true;
}

void FileCommands::MenuSaveClick(bool fromToolStrip) {
  window_.commitPendingEdit();
  if (fromToolStrip && ctrlHeld()) dialogName_ = dataIgnPath_;
  QString path = saveDialog(dialogFileName());
  if (path.isEmpty()) return;
  path = WithDefaultExtension(path);
  if (QFileInfo::exists(path)) {
    const QString question =
        FromStd(UiMessage(ws_.language(), UiText::AskReplace)).arg(QFileInfo(path).fileName());
    if (window_.askQuestion(question, false) != QMessageBox::Yes) return;
  }
  SaveConfigurationFile(path);
}

bool FileCommands::SaveConfigurationFile(const QString& path) {
  // What the pages show, consistent, is what is written (the workspace takes it in).
  std::string error;
  if (!ws_.save(ToStd(path), error)) {
    showFileError(FromStd(error));
    return false;
  }
  remember(path);
  return true;
}

}  // namespace rq

#include "moc_file_commands.cpp"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_commands.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>

#include <cstdio>
#include <ctime>

#include "app/form_hlav.h"
#include "model/file_io.h"
#include "model/ign_file.h"
#include "model/program_history.h"
#include "ui/notice_texts.h"
#include "ui/qt_text.h"

namespace rq {
namespace {

std::string ToStd(const QString& s) { return s.toUtf8().toStdString(); }

// A .ign is a few kilobytes; anything beyond this is not a configuration file.
constexpr std::size_t kMaxIgnSize = 64u * 1024u * 1024u;

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

FileCommands::FileCommands(FormHlav& form) : QObject(&form), form_(form) {
  openDialog = [this](const QString& start) { return RunDialog(&form_, start, false); };
  saveDialog = [this](const QString& start) { return RunDialog(&form_, start, true); };
  ctrlHeld = [] { return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0; };
}

QString FileCommands::dialogFileName() const {
  return dialogName_.isEmpty() ? form_.iniDir() : dialogName_;
}

void FileCommands::remember(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  if (auto* label = form_.findChild<QLabel*>("LabelFile2")) label->setText(full);
  form_.setIniDir(full);
  dialogName_ = full;
}

void FileCommands::showFileError(const QString& reason) {
  QString text = FromStd(form_.texts().text(TxtOpenFileError));
  if (!reason.isEmpty())
    text += "\n" + FromStd(LocalizedFileReason(form_.texts().language(), ToStd(reason)));
  form_.ShowMessage(text);
}

void FileCommands::MenuOpenExeDirClick() {
  dialogName_ = form_.dataIgnPath();
  MenuOpenClick();
}

void FileCommands::MenuSaveExeDirClick() {
  dialogName_ = form_.dataIgnPath();
  MenuSaveClick();
}

void FileCommands::MenuOpenClick(bool fromToolStrip) {
  form_.CommitPendingEdit();
  if (fromToolStrip && ctrlHeld()) dialogName_ = form_.dataIgnPath();
  const QString path = openDialog(dialogFileName());
  if (!path.isEmpty()) OpenConfigurationFile(path);
  form_.HideStatusLine();
}

bool FileCommands::OpenConfigurationFile(const QString& path) {
  if (form_.editsLocked()) return false;  // the running read would replace it
  std::string error;
  const auto text = ReadWholeFile(ToStd(path), error, kMaxIgnSize);
  if (!text) {
    showFileError(FromStd(error));
    return false;
  }
  const IgnReadResult r = ReadIgnText(*text, form_.image());
  for (std::size_t i = 0; i < r.badVersions.size(); ++i)
    form_.ShowMessage(FromStd(form_.texts().text(TxtFileVersionMismatch)));
  if (!r.validKey) {
    // No version key at all: nothing was loaded, and the user is told so.
    if (r.badVersions.empty())
      showFileError(QString::fromUtf8(NoticeText(form_.language(), NoticeNotConfigurationFile)));
    return false;
  }
  form_.AfterChange();
  remember(path);
  return true;
}

void FileCommands::MenuSaveClick(bool fromToolStrip) {
  form_.CommitPendingEdit();
  if (fromToolStrip && ctrlHeld()) dialogName_ = form_.dataIgnPath();
  QString path = saveDialog(dialogFileName());
  if (path.isEmpty()) return;
  path = WithDefaultExtension(path);
  if (QFileInfo::exists(path)) {
    const QString question =
        FromStd(UiMessage(form_.texts().language(), UiText::AskReplace)).arg(QFileInfo(path).fileName());
    if (form_.askQuestion(question, false) != QMessageBox::Yes) return;
  }
  SaveConfigurationFile(path);
}

bool FileCommands::SaveConfigurationFile(const QString& path) {
  form_.ReadBackPage();
  form_.SanitizeImage();
  form_.RefreshPages();
  std::string error;
  if (!WriteFileAtomic(ToStd(path), WriteIgnText(form_.image()), error)) {
    showFileError(FromStd(error));
    return false;
  }
  remember(path);
  return true;
}

void FileCommands::KeepProgramHistory() {
  // The history tells what went into the bike; the demo unit is not one.
  if (form_.demoRun()) return;
  ProgramRecord record;
  record.from = kFromWindow;
  record.fileName = ToStd(form_.fileName());
  record.programCount = form_.exchange().lastMonitor().programCount;
  record.unit = DecodeIdentification(form_.image()).nameVersion;
  std::string error;
  const std::string kept = KeepProgram(form_.image(), record, error);
  if (!kept.empty()) return;
  // Not worth a message box after every programming; the status bar says it.
  std::fprintf(stderr, "rq_vtmx4: Program history not kept: %s\n", error.c_str());
  const int lang = form_.texts().language();
  const QString text = FromStd(UiMessage(lang, UiText::HistoryNotKept))
                           .arg(FromStd(LocalizedFileReason(lang, error)));
  if (auto* bar = form_.findChild<QStatusBar*>("StatusBar1")) bar->showMessage(text, 15000);
}

}  // namespace rq

#include "moc_file_commands.cpp"

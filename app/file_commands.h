// SPDX-License-Identifier: GPL-3.0-or-later
// The file commands of the main window: Open and Save with their dialogs, their variants on
// data.ign in the program's folder, the tool-strip buttons (with Ctrl held they go to data.ign
// at once), and IniDir, the last file, where the dialogs start. The file name itself is the
// workspace's.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace rq {

class WindowFace;
class Workspace;

class FileCommands : public QObject {
  Q_OBJECT

 public:
  // `dataIgnPath`: data.ign in the program's folder.
  FileCommands(Workspace& workspace, WindowFace& window, QString dataIgnPath);

  // Menu Open / Save and the tool-strip buttons (fromToolStrip: Ctrl held means data.ign).
  void MenuOpenClick(bool fromToolStrip = false);
  void MenuSaveClick(bool fromToolStrip = false);
  // The same on data.ign in the program's folder; the dialog still shows, starting there.
  void MenuOpenExeDirClick();
  void MenuSaveExeDirClick();

  // Loads a .ign file into the configuration: one message per version key that is not 79;
  // with a valid key the after-change step (one undo step), the file name and IniDir. Returns
  // whether a configuration was loaded. Also the loader of a file named on the command line.
  bool OpenConfigurationFile(const QString& path);
  // Writes the configuration as the pages show it to `path` through an atomic write. On
  // failure the file error message shows, the old file stays whole and the file name and
  // IniDir keep what they had.
  bool SaveConfigurationFile(const QString& path);

  // The name both file dialogs start with.
  QString dialogFileName() const;
  // IniDir: the last configuration file, kept in the settings file.
  const QString& iniDir() const { return iniDir_; }
  void setIniDir(const QString& path) { iniDir_ = path; }

  // The dialogs and the Ctrl key; tests replace them. A dialog returns "" when cancelled.
  std::function<QString(const QString& startName)> openDialog;
  std::function<QString(const QString& startName)> saveDialog;
  std::function<bool()> ctrlHeld;

 private:
  void remember(const QString& path);
  void showFileError(const QString& reason);

  Workspace& ws_;
  WindowFace& window_;
  QString dataIgnPath_;
  QString iniDir_;
  QString dialogName_;  // empty: IniDir
};

// "name" without an extension gets ".ign", as the save dialog's default extension.
QString WithDefaultExtension(const QString& path);

}  // namespace rq

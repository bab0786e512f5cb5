// Loading a configuration file into the window: the part of File › Open after the file has
// been chosen, shared by the command line and the menu.
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QUrl>

#include "app/form_hlav.h"
#include "app/open_file.h"
#include "model/file_io.h"
#include "model/ign_file.h"

namespace rq {
namespace {

// A .ign file holds about 6 KB; anything far larger is not one and is not read into memory.
constexpr std::size_t kMaxConfigurationFileSize = 16u * 1024u * 1024u;

QString FromStd(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

QStringList FileArguments(const QStringList& arguments) {
  QStringList files;
  for (const QString& a : arguments) {
    if (LanguageFromArgument(a.toStdString()) >= 0) continue;
    if (a.startsWith("file://")) {
      const QUrl url(a);
      if (url.isLocalFile()) {
        files << url.toLocalFile();
        continue;
      }
    }
    files << a;
  }
  return files;
}

bool FormHlav::OpenConfigurationFile(const QString& path) {
  const QString fullName = QFileInfo(path).absoluteFilePath();
  bool loaded = false;
  std::string error;
  const auto text =
      ReadWholeFile(QFile::encodeName(fullName).toStdString(), error, kMaxConfigurationFileSize);
  if (!text) {
    ShowMessage(FromStd(texts_.text(TxtOpenFileError)));
  } else {
    // The reader works on the configuration as it stands: groups the file does not hold keep
    // their values. Every version key with another number is reported once.
    const IgnReadResult result = ReadIgnText(*text, image_);
    for (std::size_t i = 0; i < result.badVersions.size(); ++i)
      ShowMessage(FromStd(texts_.text(TxtFileVersionMismatch)));
    if (result.validKey) {
      AfterChange();
      LabelFile2->setText(fullName);
      iniDir_ = fullName;
      loaded = true;
    }
  }
  LabelHlaseni->hide();
  CGaugeProgram->hide();
  return loaded;
}

}  // namespace rq

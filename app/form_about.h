// The About window. Created once at start and shown modally from Help > About.
#pragma once

#include <QDialog>

namespace rq {

class FormAbout : public QDialog {
  Q_OBJECT

 public:
  explicit FormAbout(QWidget* parent = nullptr);
};

}  // namespace rq

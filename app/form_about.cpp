#include "app/form_about.h"

namespace rq {

FormAbout::FormAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("FormAbout");
  setWindowTitle("About");
  setModal(true);
  resize(420, 300);
}

}  // namespace rq

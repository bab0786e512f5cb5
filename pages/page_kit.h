// SPDX-License-Identifier: GPL-3.0-or-later
// The page kit: what every editing page is made of. A page module builds its controls from
// rows of the parameter table, shows the image in them (refresh), writes what the user changed
// back (read-back), and marks the live operating point. Every user edit takes one road: the
// control's commit hands the page's read-back to the workspace as one change.
#pragma once

#include <QHash>
#include <QLabel>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "protocol/monitor_reply.h"
#include "model/parameter_image.h"
#include "model/parameter_table.h"
#include "model/state_file.h"
#include "model/unit_comparison.h"
#include "pages/controls.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

class QGridLayout;

namespace rq {


// One parameter row bound to one control.
struct Binding {
  const ParameterDef* def = nullptr;
  SpinEdit* spin = nullptr;
  CheckEdit* check = nullptr;
  ChoiceEdit* choice = nullptr;
  int shownIndex = -1;  // choice: the item the last refresh showed
};

class Bindings {
 public:
  Binding& add(Binding b) { return rows_.emplace_back(b); }
  Binding& back() { return rows_.back(); }
  void refresh(const ParameterImage& image);
  // Writes every field and box as shown, in table order (a value the field clamped is stored
  // clamped), and every choice the user changed; a choice outside its list shows nothing and
  // stays as the image has it.
  void readBack(ParameterImage& image);
  const std::vector<Binding>& rows() const { return rows_; }

 private:
  std::vector<Binding> rows_;
};

class PageKit {
 public:
  PageKit(Workspace& workspace, WindowFace& window) : ws_(workspace), window_(window) {}
  // The configuration and the unit's live values; the window that shows the pages.
  Workspace& workspace() const { return ws_; }
  WindowFace& window() const { return window_; }
  const ParameterImage& image() const { return ws_.image(); }

  // Set while a refresh writes into controls; nested refreshes keep it until the outer ends.
  bool refreshing() const { return ws_.refreshing(); }
  using RefreshScope = Workspace::RefreshScope;

  // One change of the configuration on the page shown (a mode selector, a tool): the
  // consistency pass, the pages shown again, one undo step (which may start programming).
  bool change(const Workspace::Edit& edit) { return ws_.change(edit, ws_.page()); }

  // The commit of every bound control: the page read back as one change.
  void commitEdit();
  // The control bound to a parameter row (the edit of a field with an up-down); nullptr for a
  // row no control shows.
  QWidget* controlOf(const ParameterDef* def) const { return controls_.value(def); }
  // Binds a row to a control built without the builders below (one control showing two rows).
  void bindControl(const ParameterDef* def, QWidget* control) { controls_.insert(def, control); }

  // Builders. Each binds the control to its table row (by the up-down's or control's name)
  // and wires its commit; combo boxes and radio groups take their items from the row.
  struct SpinPair {
    SpinEdit* edit;
    UpDown* upDown;
  };
  SpinPair spin(const char* upDownName, QWidget* parent, Bindings& bindings);
  CheckEdit* check(const char* name, const QString& text, QWidget* parent, Bindings& bindings);
  ComboEdit* combo(const char* name, QWidget* parent, Bindings& bindings);
  // A radio group bound to its row. With a handler the choice goes to it (mode selectors);
  // without one it commits like any other control.
  RadioGroup* radio(const char* name, const QString& title, int columns, QWidget* parent,
                    Bindings& bindings, std::function<void(int)> handler = {});
  static QLabel* label(const char* name, const QString& text, QWidget* parent);
  static QGroupBox* group(const char* name, const QString& title, QWidget* parent);
  // The area of a page its layouts fill (the page's own bottom rows stay free), of the given
  // height.
  static QWidget* content(QWidget* page, const char* name, int height = 410);
  // label | edit | up-down in one row of a grid.
  SpinPair row(QGridLayout* grid, int r, const char* labelName, const QString& text,
               const char* upDownName, QWidget* parent, Bindings& bindings, int column = 0);

 private:
  Workspace& ws_;
  WindowFace& window_;
  QHash<const ParameterDef*, QWidget*> controls_;
};

// The face every page family shows the window. One module may serve several pages.
class PageModule {
 public:
  virtual ~PageModule() = default;
  virtual void refresh(int page) = 0;
  // What the controls of `page` show, written into `image`.
  virtual void readBack(int page, ParameterImage& image) = 0;
  // Rules beyond the rule table (captions, colours); the table is applied by the page set.
  virtual void applyRules(int /*page*/) {}
  // The page control shows `page` now (any page).
  virtual void pageShown(int /*page*/) {}
  // End of every tick while the page is shown.
  virtual void markLive(int /*page*/) {}
  // Every accepted monitor reply, whatever page is shown.
  virtual void monitorAccepted() {}
  // A language was applied: texts the caption table cannot reach (hints of controls made by
  // the dozen) follow it.
  virtual void languageChanged(int /*language*/) {}
  // The control that shows a grid bit, rpm point or map cell of `slot`; nullptr when the page
  // shown does not show it. Parameter rows are found through the kit's bindings.
  virtual QWidget* controlFor(const DifferingSlot& /*slot*/, int /*shownPage*/) const { return nullptr; }
};

// A module whose page is its bindings and nothing else to refresh.
class BoundPage : public PageModule {
 public:
  void refresh(int) override { bindings.refresh(kit->image()); }
  void readBack(int, ParameterImage& image) override { bindings.readBack(image); }
  Bindings bindings;
  PageKit* kit = nullptr;
};

}  // namespace rq

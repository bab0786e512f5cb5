// SPDX-License-Identifier: GPL-3.0-or-later
// The page kit: what every editing page is made of. A page module builds its controls from
// rows of the parameter table, shows the image in them (refresh), writes what the user changed
// back (read-back), and marks the live operating point. Every user edit takes one road: the
// control's commit reads the page back and runs the window's after-change step once.
#pragma once

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
#include "pages/controls.h"

class QGridLayout;

namespace rq {

// What the pages need from the window that holds them.
class PageHost {
 public:
  virtual ~PageHost() = default;
  virtual ParameterImage& image() = 0;
  // The last monitor reply: the unit's live values.
  virtual const MonitorSnapshot& lastMonitor() const = 0;
  virtual bool connected() const = 0;
  virtual bool printing() const = 0;
  virtual bool testMode() const = 0;
  virtual int currentPage() const = 0;
  // Consistency pass, refresh twice, undo snapshot (which may start programming).
  virtual void AfterChange() = 0;
  virtual void TakeSnapshot() = 0;
  virtual void ApplyPageRules() = 0;
  virtual void RefreshPages() = 0;
  // New: asks whether to apply the defaults and applies them when the answer is Yes.
  virtual void MenuNewClick() = 0;
  // A test button: its bit travels with the next monitor request.
  virtual void ButtonTestClick(int index) = 0;
  // The "All" flags of the map pages: interface state, kept in the state file.
  virtual AllFlags& allFlags() = 0;
  // Language index of the message table (0 English .. 3 Czech).
  virtual int language() const = 0;
  // Renders the last monitor reply again (its power-output texts follow the modes).
  virtual void ShowMonitor() = 0;
  // True while the configuration takes no edits (a read of the unit is replacing it); the
  // status line then says why.
  virtual bool editsLocked() { return false; }
};

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
  explicit PageKit(PageHost& host) : host_(host) {}
  PageHost& host() const { return host_; }
  ParameterImage& image() const { return host_.image(); }

  // Set while a refresh writes into controls; nested refreshes keep it until the outer ends.
  bool refreshing() const { return refreshDepth_ > 0; }
  class RefreshScope {
   public:
    explicit RefreshScope(PageKit& kit) : kit_(kit) { ++kit_.refreshDepth_; }
    ~RefreshScope() { --kit_.refreshDepth_; }
    RefreshScope(const RefreshScope&) = delete;
    RefreshScope& operator=(const RefreshScope&) = delete;

   private:
    PageKit& kit_;
  };

  // The commit of every bound control: read the page back, then the after-change step.
  void commitEdit();
  std::function<void()> readBackPage;
  // Set when the motorbike type was just changed; applying the defaults clears it.
  bool typeJustChanged = false;

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
  PageHost& host_;
  int refreshDepth_ = 0;
};

// The face every page family shows the window. One module may serve several pages.
class PageModule {
 public:
  virtual ~PageModule() = default;
  virtual void refresh(int page) = 0;
  virtual void readBack(int page) = 0;
  // Rules beyond the rule table (captions, colours); the table is applied by the page set.
  virtual void applyRules(int /*page*/) {}
  // End of every tick while the page is shown.
  virtual void markLive(int /*page*/) {}
  // Every accepted monitor reply, whatever page is shown.
  virtual void monitorAccepted() {}
  // A language was applied: texts the caption table cannot reach (hints of controls made by
  // the dozen) follow it.
  virtual void languageChanged(int /*language*/) {}
};

// A module whose page is its bindings and nothing else to refresh.
class BoundPage : public PageModule {
 public:
  void refresh(int) override { bindings.refresh(kit->image()); }
  void readBack(int) override { bindings.readBack(kit->image()); }
  Bindings bindings;
  PageKit* kit = nullptr;
};

}  // namespace rq

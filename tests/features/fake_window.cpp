// SPDX-License-Identifier: GPL-3.0-or-later
#include "fake_window.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QMessageBox>
#include <QPointer>

#include "model/defaults.h"

namespace rq::test {

FakeWindow::FakeWindow() {
  auto port = std::make_unique<ScriptedPort>();
  port_ = port.get();
  ws_ = std::make_unique<Workspace>(std::move(port));
  resize(1005, 832);
  for (auto& m : menus_) m = new QMenu(this);
  status_ = new QStatusBar(this);
  status_->setGeometry(0, 813, 1005, 19);
  for (int i = 0; i < kPageCount; ++i) {
    pageWidgets_[std::size_t(i)] = new QWidget(this);
    pageWidgets_[std::size_t(i)]->setGeometry(4, 48, 985, 440);
    pageWidgets_[std::size_t(i)]->setVisible(i == page_);
  }
  pages_ = std::make_unique<PageSet>(*ws_, *this, this, pageWidgets_);
  pages_->indexControls();
  connect(pages_.get(), &PageSet::refreshed, this, [this] { ++refreshes; });
  ConnectWindowFace(*ws_, *this, this);
  // As the window starts: consistent, shown (the gear coupling included), then the first step.
  ws_->start({}, page_);
  ws_->openPort();
  for (const auto& [keys, redo] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Z), false},
                                   std::pair{QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z), true}}) {
    auto* a = new QAction(this);
    a->setShortcut(keys);
    connect(a, &QAction::triggered, this, [this, redo] { redo ? ws_->redo() : ws_->undo(); });
    addAction(a);
    undo_.push_back(a);
  }
}

FakeWindow::~FakeWindow() {
  for (QAbstractSpinBox* field : findChildren<QAbstractSpinBox*>()) field->blockSignals(true);
  // The features (children that are no widgets) hold the workspace: they go first. A feature
  // may take windows of its own with it, so each child is looked at only while it lives.
  std::vector<QPointer<QObject>> kids;
  for (QObject* o : children()) kids.emplace_back(o);
  for (const QPointer<QObject>& o : kids)
    if (o && !o->isWidgetType()) delete o.data();
}

void FakeWindow::tick() {
  const std::size_t before = port_->sent.size();
  ws_->tick();
  for (std::size_t i = before; i < port_->sent.size(); ++i)
    if (auto r = unit_.respond(port_->sent[i])) port_->queue(*r);
}

bool FakeWindow::runUntilIdle(int limit) {
  for (int i = 0; i < limit; ++i) {
    tick();
    if (!ws_->exchange().busy()) return true;
  }
  return false;
}

void FakeWindow::showPage(int page) {
  pages_->commitFocusedEdit();
  pageWidgets_[std::size_t(page_)]->hide();
  page_ = page;
  pageWidgets_[std::size_t(page_)]->show();
  ws_->setPage(page_);
  pages_->showPage(page_);
  RefreshPages();
}

void FakeWindow::showNote(const QString& text, int ms) {
  notes.push_back(text);
  status_->showMessage(text, ms);
}

int FakeWindow::askQuestion(const QString& text, bool, bool defaultNo) {
  questions.push_back(text);
  questionsDefaultNo.push_back(defaultNo);
  if (answers.empty()) return QMessageBox::Cancel;
  const int a = answers.front();
  answers.pop_front();
  return a;
}

int FakeWindow::askChoice(const QString& text, const QStringList& offered, int) {
  questions.push_back(text);
  choices.push_back(offered);
  if (answers.empty()) return int(offered.size()) - 1;
  const int a = answers.front();
  answers.pop_front();
  return a;
}

QString FakeWindow::pageCaption(int page) const { return QString("Page %1").arg(page); }

}  // namespace rq::test

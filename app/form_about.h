// SPDX-License-Identifier: GPL-3.0-or-later
// The About window: the product picture, the build date and time and the program version.
// Created once at start and shown modally from Help > About.
#pragma once

#include <QDialog>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

class QLabel;

namespace rq {

// The picture built into the program (a 600 x 390 JPEG).
std::span<const std::uint8_t> AboutPictureJpeg();

class FormAbout : public QDialog {
  Q_OBJECT

 public:
  // `language` gives the current language index at each show; empty: English. `picture` is the JPEG to show; empty: the one built into the program.
  explicit FormAbout(QWidget* parent = nullptr, std::function<int()> language = {},
                     std::span<const std::uint8_t> picture = {});

  // The title for `language`: the language's prefix and the product name.
  static QString Title(int language);

  // Decodes `jpeg` into the picture area; a picture that cannot be decoded leaves the area
  // empty and returns false.
  bool setPicture(std::span<const std::uint8_t> jpeg);
  bool hasPicture() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void FormActivate();
  void Button1Click();

  std::function<int()> language_;
  QLabel* Image1 = nullptr;
  QLabel* LabelDate = nullptr;
  QLabel* LabelTime = nullptr;
  QLabel* LabelRsKey = nullptr;
  QLabel* LabelExit = nullptr;
};

}  // namespace rq

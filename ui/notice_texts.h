// SPDX-License-Identifier: GPL-3.0-or-later
// Status-bar notices of the editing pages and file commands, in the four interface languages
// (0 English, 1 German, 2 French, 3 Czech), held as UTF-8. Placeholders %1, %2 ... are filled
// by the caller.
#pragma once

namespace rq {

enum NoticeId : int {
  // %1 page caption, %2 throttle row in percent, %3 rpm point, %4 new value.
  NoticeCellChangedOffMap = 0,
  NoticeEditsWaitForRead = 1,
  NoticeNotConfigurationFile = 2,
  // %1 the manual's path: the line under the manual error when the file is there.
  NoticeManualNoViewer = 3,
  // %1 the caption of the servo's enable box: the servo page while its map is off.
  NoticeServoMapOff = 4,
  kNoticeCount = 5,
};

// The text of `id` in `language` (out-of-range language: English; out-of-range id: "").
const char* NoticeText(int language, int id);

}  // namespace rq

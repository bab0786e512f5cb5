// SPDX-License-Identifier: GPL-3.0-or-later
// A phrase of the log viewer and the map overlay in the language shown.
#pragma once

#include <QString>

#include "ui/log_captions.h"
#include "ui/qt_text.h"

namespace rq::logs {

inline QString Phrase(LogPhrase p, int language) { return FromStd(LogPhraseText(p, language)); }

}  // namespace rq::logs

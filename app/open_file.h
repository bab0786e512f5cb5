// SPDX-License-Identifier: GPL-3.0-or-later
// Configuration files named on the window's command line.
#pragma once

#include <QString>
#include <QStringList>

namespace rq {

// The arguments that name files to open, in order: every argument that is not one of the
// language words "ENGLISH", "DEUTSCH", "FRANCE", "CESKY" (only the first argument selects the
// language; a language word elsewhere is neither). A file:// URL, as some launchers pass it,
// becomes its local path.
QStringList FileArguments(const QStringList& arguments);

}  // namespace rq

// SPDX-License-Identifier: GPL-3.0-or-later
// Tests arrange a configuration without the edit path: the image as it is, written in place
// (no consistency pass, no signal, no undo step), and the pass on its own.
#pragma once

#include "workspace/workspace.h"

namespace rq {

class WorkspacePeer {
 public:
  static ParameterImage& image(Workspace& ws) { return ws.image_; }
  static void sanitize(Workspace& ws) { ws.sanitize(); }
};

}  // namespace rq

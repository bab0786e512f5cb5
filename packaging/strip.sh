#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The strip of the release package: besides the symbols it drops the compiler's .comment and
# .note sections, which the programs never read (as Debian's own packaging does).
exec strip --remove-section=.comment --remove-section=.note "$@"

// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of PC against unit, the comparison view, the program history view and the port
// messages in the four
// interface languages (0 English, 1 German, 2 French, 3 Czech), UTF-8. "%1", "%2", ... are
// filled in by the caller. The menu items and buttons that open these views are rows of the
// caption table; these are the texts that change with the state they show.
#pragma once

#include <cstddef>
#include <string>

namespace rq {

enum UnitText : int {
  UtNotRead,
  UtEqual,
  UtDifferOne,
  UtDifferMany,
  UtUnknown,
  UtStateHint,
  UtTitleUnit,
  UtTitleFile,
  UtColumnPage,
  UtColumnParameter,
  UtColumnPc,
  UtColumnUnit,
  UtColumnFile,
  UtColumnUnitOfMeasure,
  UtTake,
  UtTakeAll,
  UtClose,
  UtNoDifferences,
  UtDifferences,
  UtDifferenceOne,
  UtDifferencesFew,  // 2 to 4 where the language has a form of its own (Czech), else ""
  UtUnitIdentification,
  UtUnitReadFailed,
  UtUnitNotKnown,
  UtFileHasNoIdentification,
  UtFileProgrammedInto,
  UtFileOtherUnit,
  UtFileNotLoaded,
  UtHistoryTitle,
  UtHistoryWhen,
  UtHistoryFrom,
  UtHistoryFile,
  UtHistoryCount,
  UtHistoryOpen,
  UtHistoryCompare,
  UtHistoryEmpty,
  UtFromWindow,
  UtFromCommandLine,
  UtPortLine,
  UtPortPathLine,
  UtPortNoDevice,
  UtPortBusy,
  UtPortPermission,
  UtPortChosen,
  UtPortNotSerial,
  UtPortFolder,
  UtPortNotDevice,
  UtHistoryDemoNotKept,
  UtHistoryUnreadable,
  UtPortLatency,
  UtTextCount
};

// The text in `language` (outside 0..3: English).
const std::string& UnitTextOf(UnitText id, int language);

// The comparison view's summary for `count` (at least 1) differences: "1 value differs. ...",
// "3 values differ. ...", in the form the language gives the number.
std::string DifferencesSummary(std::size_t count, int language);

struct OpenResult;  // link/serial_port.h

// Why a port could not be opened, in `language`, as the window and the command-line tool both
// say it: no such device, in use by another program, permission denied (with the group to
// join); for any other failure the system's reason.
std::string PortOpenReason(const OpenResult& open, int language);
// The line under "Com opening error!": "COM3 = /dev/ttyUSB2: <reason>", or "/dev/x: <reason>"
// when the port was named by its path alone (comName empty).
std::string PortOpenLine(const std::string& comName, const std::string& path,
                         const OpenResult& open, int language);

}  // namespace rq

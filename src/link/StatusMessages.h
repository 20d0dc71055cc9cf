#pragma once

#include "settings/SettingsFiles.h"

// Every text the main window's message area shows (showStatus, showActivity). Callers name them
// from here and never pass a literal, so that a test measures each one against the area.
namespace StatusMessages {

inline constexpr char ReadingMemory[] = "Reading traction memory";
inline constexpr char MemoryRead[] = "Traction memory read OK";
inline constexpr char MemoryReadFailed[] = "Error : reading traction memory";
// The logger's memory came whole but holds no run ("nothing logged" would not fit the area; it is
// the message's reason in the log).
inline constexpr char MemoryReadEmpty[] = "Traction memory read OK (empty)";
// The user stopped the logger upload; the rest of the memory is let go first.
inline constexpr char CancellingRead[] = "Cancelling the read";
inline constexpr char ReadCancelled[] = "Reading traction memory cancelled";
// A long exchange's activity with the seconds it still needs: "Reading traction memory (41 s left)".
inline constexpr char SecondsLeft[] = "%1 (%2 s left)";
inline constexpr char WritingMemory[] = "Writing to traction memory";
inline constexpr char MemoryWritten[] = "Traction memory written OK";
inline constexpr char MemoryWriteFailed[] = "Error : writing traction memory";
inline constexpr char VerifyingMemory[] = "Verifying traction memory";
inline constexpr char MemoryVerified[] = "Traction memory verified OK";
inline constexpr char VerifyFailed[] = "Error : verify failed";
inline constexpr char ClearingMemory[] = "Clearing Internal Memory";
inline constexpr char MemoryCleared[] = "Traction memory Cleared OK";
inline constexpr char MemoryClearFailed[] = "Error : Clearing traction memory";
inline constexpr char TestStarting[] = "Starting Test";
inline constexpr char TestEnded[] = "Test Ended OK";
inline constexpr char TestFailed[] = "Error : Test Failed";
inline constexpr char FileLoaded[] = "File loaded ok";
inline constexpr const char *FileLoadFailed = LoadFailedMessage;
inline constexpr char FileSaved[] = "File Saved ok";
inline constexpr char FileSaveFailed[] = "File Save failed";
inline constexpr char PagePrinted[] = "Page Printed OK";
inline constexpr char PrintFailed[] = "Print Page Failed";
// The pulled adapter is back and its port open again; %1 is the port number.
inline constexpr char PortReopened[] = "COM %1 is back, port reopened";
// An option could not be stored; it is kept for this run and stored with the next change that can.
inline constexpr char OptionsNotStored[] = "Error : options not stored";
// A run could not be kept in the runs folder (the upload or the live run itself stands); the folder
// for the runs was chosen.
inline constexpr char RunNotKept[] = "Error : run not kept";
inline constexpr char RunsFolderSet[] = "Runs folder set";
// Another device took the lost port's number; it is not opened unless the user picks it.
inline constexpr char PortOtherDevice[] = "COM %1 is another device now";

// Texts of the boxes around a write: the comparison before it, the verify after it, and the
// plausibility warning after a read or a load.
inline constexpr char CompareTitle[] = "Write Settings";
inline constexpr char CompareBeforeWrite[] = "These settings will change in the unit:";
inline constexpr char CompareNothingChanges[] =
    "The unit already holds these settings as they were last read from or written to it.";
inline constexpr char CompareUnitUnknown[] =
    "No settings have been read from or written to this unit since the port was opened, so what "
    "will change in it is not known.\n\rRead Settings first to see the changes.";
inline constexpr char CompareUnitTitle[] = "Compare with Unit";
inline constexpr char CompareWithUnit[] = "The pages differ from the unit in these settings (unit -> pages):";
inline constexpr char CompareSameAsUnit[] = "The unit holds the same settings as the pages.";
inline constexpr char HistoryCompareTitle[] = "History";
inline constexpr char HistoryCompare[] = "The pages differ from the kept settings in these (kept -> pages):";
inline constexpr char HistorySameAsPages[] = "The pages hold the same settings as the kept ones.";
inline constexpr char VerifyTitle[] = "Verify failed";
inline constexpr char VerifyDiffers[] =
    "The unit read back other settings than were written (written -> read back). The pages still "
    "hold what was meant to be written.";
inline constexpr char VerifyNoAnswer[] =
    "The unit did not answer when its settings were read back, so the write could not be checked. "
    "The pages still hold what was meant to be written.";
inline constexpr char Implausible[] =
    "These settings hold values their fields cannot hold. They are shown as they are; check them "
    "before writing them to a unit:";

inline constexpr const char *All[] = {
    ReadingMemory,  MemoryRead,      MemoryReadFailed,  MemoryReadEmpty, CancellingRead, ReadCancelled,
    WritingMemory,  MemoryWritten,   MemoryWriteFailed, VerifyingMemory, MemoryVerified, VerifyFailed,
    ClearingMemory, MemoryCleared,   MemoryClearFailed, TestStarting,    TestEnded,      TestFailed,
    FileLoaded,     FileLoadFailed,  FileSaved,         FileSaveFailed,  PagePrinted,    PrintFailed,
    PortReopened,   PortOtherDevice, OptionsNotStored,  RunNotKept,      RunsFolderSet,
};

}  // namespace StatusMessages

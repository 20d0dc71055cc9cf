#pragma once

#include "settings/SettingsFiles.h"

// Every text the main window's message area shows (showStatus, showActivity). Callers name them
// from here and never pass a literal, so that a test measures each one against the area.
namespace StatusMessages {

inline constexpr char ReadingMemory[] = "Reading traction memory";
inline constexpr char MemoryRead[] = "Traction memory read OK";
inline constexpr char MemoryReadFailed[] = "Error : reading traction memory";
// A long exchange's activity with the seconds it still needs: "Reading traction memory (41 s left)".
inline constexpr char SecondsLeft[] = "%1 (%2 s left)";
inline constexpr char WritingMemory[] = "Writing to traction memory";
inline constexpr char MemoryWritten[] = "Traction memory written OK";
inline constexpr char MemoryWriteFailed[] = "Error : writing traction memory";
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

inline constexpr const char *All[] = {
    ReadingMemory, MemoryRead,   MemoryReadFailed, WritingMemory, MemoryWritten, MemoryWriteFailed,
    ClearingMemory, MemoryCleared, MemoryClearFailed, TestStarting, TestEnded,   TestFailed,
    FileLoaded,    FileLoadFailed, FileSaved,      FileSaveFailed, PagePrinted,   PrintFailed,
    PortReopened,
};

}  // namespace StatusMessages

// The program's entry, shared by orvane.exe and its test build.
#pragma once

namespace orvane {

// The mutex a running program holds; a second program that finds it ends.
inline constexpr char kSingleInstanceMutex[] = "Brimvale_SingleInstance_V2_Tam.R";

// Runs the program from its single-instance guard to its end; the exit code.
int RunProgram();

// Registers every class the program's forms name; before the first form.
void RegisterProgramClasses();

}  // namespace orvane

#pragma once

struct CommandLine;

// The editor's entry point in libquorvan_gui.so, looked up by this name by the
// program once the command line asks for the editor (CommandLine::Edit).
// Returns the program's exit status.
#define QUORVAN_GUI_ENTRY "quorvanGuiMain"
using GuiEntry = int (*)(int &argc, char **argv, const CommandLine &cl);
extern "C" int quorvanGuiMain(int &argc, char **argv, const CommandLine &cl);

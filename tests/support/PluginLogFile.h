#pragma once

#include <string>
#include <vector>

// The plugin's log file in the Documents folder, read back after the plugin
// (often in a child process) wrote it. A line may hold line breaks of its own:
// lines end in CRLF.
std::vector<std::string> PluginLogLines();
std::string LastLogLine();

// Each line as "[level] [File.cpp] message": the time, the logger's name and
// the source line left out, so that a test states what a line says.
std::vector<std::string> PluginLogMessages();

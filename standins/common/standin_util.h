// Small pieces the stand-ins share: their command line and the files they
// keep beside their executable.
#pragma once

#include <cstdarg>
#include <string>

// The next word of a command line, honouring double quotes; advances cursor.
std::string NextCommandLineWord(const char*& cursor);

// Appends one printf-formatted line (at most 600 characters) to the
// transcript at path, opening and closing it each time so a test can read it
// at any moment.
void AppendTranscriptLine(const std::string& path, const char* format, va_list args);

// With CORVALO_BENCH_TIMING set in the environment, appends "<ms since 1970>
// <line>" to path + ".timing"; otherwise does nothing.
void AppendTimingLine(const std::string& path, const char* line);

// Whether text begins with start.
bool StartsWith(const std::string& text, const std::string& start);

// The text after a leading word and its blank, trailing blanks removed.
std::string After(const std::string& text, const std::string& start);

// The full path of a file named `name` in the executable's folder.
std::string BesideExecutable(const char* name);

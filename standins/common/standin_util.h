// Small pieces the stand-ins share: their command line and the files they
// keep beside their executable.
#pragma once

#include <string>

// The next word of a command line, honouring double quotes; advances cursor.
std::string NextCommandLineWord(const char*& cursor);

// The full path of a file named `name` in the executable's folder.
std::string BesideExecutable(const char* name);

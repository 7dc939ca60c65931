// The stand-in Skype as a Windows program.
#include "standins/skype/skype.h"

int ProgramMain() { return SkypeMain(); }

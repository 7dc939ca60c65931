// The stand-in softphone as a Windows program.
#include "standins/softphone/softphone.h"

int ProgramMain() { return SoftphoneMain(); }

// callerid-wave: writes the caller-identification signal that the program
// plays into the phone line for a caller, as a WAV file, and can play it.
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "device/caller_id.h"
#include "device/wave.h"
#include "tools/callerid-wave/playback.h"
#include "tools/callerid-wave/wav_file.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

const char* const USAGE = "Usage: callerid-wave [--time MMDDHHMM] [--play] NUMBER NAME OUT.wav\n";

const char* const HELP =
    "\n"
    "Writes the on-hook caller-identification signal that CorvaloPlugin plays\n"
    "into the phone line when NUMBER and NAME call: a Bell 202 FSK message\n"
    "(MDMF, with the date and time, the number and the name) as a 16-bit mono\n"
    "8000 Hz PCM WAV file OUT.wav. As in the program, only the first 15\n"
    "characters of NUMBER and of NAME are sent; either may be empty (\"\"), but\n"
    "not both. Played into a telephone line, it makes a caller-ID display show\n"
    "the caller, which is a way to test a phone's display.\n"
    "\n"
    "Options:\n"
    "  --time MMDDHHMM  the date-and-time digits to send: month, day, hour\n"
    "                   (00-23) and minute; without it, the local time now\n"
    "  --play           also play the signal through the program's sound bank,\n"
    "                   as the program does: on the phone adapter's audio\n"
    "                   output if one is plugged in, else on the default\n"
    "                   output; returns once it has played. Only the Windows\n"
    "                   build plays; other builds write the file and say so.\n"
    "  --help           show this text\n"
    "  --               ends the options (for a NUMBER or NAME that starts with -)\n"
    "\n"
    "Exit status: 0 done, 1 the file could not be written or the signal not\n"
    "played, 2 wrong arguments.\n"
    "\n"
    "Example: callerid-wave --time 03150930 5551234567 \"JOHN SMITH\" cid.wav\n";

struct Arguments {
  bool help = false;
  bool play = false;
  bool fixedTime = false;
  os::SYSTEMTIME time = {};
  std::vector<std::string> positional;
};

int TwoDigits(const char* text) { return (text[0] - '0') * 10 + (text[1] - '0'); }

// MMDDHHMM with month 01-12, day 01-31, hour 00-23, minute 00-59.
bool ParseTime(const char* text, os::SYSTEMTIME* time) {
  if (std::strlen(text) != 8) return false;
  for (int i = 0; i < 8; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  int month = TwoDigits(text), day = TwoDigits(text + 2);
  int hour = TwoDigits(text + 4), minute = TwoDigits(text + 6);
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59) return false;
  time->wMonth = static_cast<os::WORD>(month);
  time->wDay = static_cast<os::WORD>(day);
  time->wHour = static_cast<os::WORD>(hour);
  time->wMinute = static_cast<os::WORD>(minute);
  return true;
}

os::SYSTEMTIME LocalTimeNow() {
  std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  os::SYSTEMTIME time = {};
  if (!local) return time;
  time.wYear = static_cast<os::WORD>(local->tm_year + 1900);
  time.wMonth = static_cast<os::WORD>(local->tm_mon + 1);
  time.wDay = static_cast<os::WORD>(local->tm_mday);
  time.wHour = static_cast<os::WORD>(local->tm_hour);
  time.wMinute = static_cast<os::WORD>(local->tm_min);
  return time;
}

// Options come first; "--" ends them.
bool ParseArguments(int argc, char** argv, Arguments* arguments, std::string* error) {
  int i = 1;
  for (; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--") {
      ++i;
      break;
    }
    if (option == "--help" || option == "-h") {
      arguments->help = true;
      return true;
    }
    if (option == "--play") {
      arguments->play = true;
    } else if (option == "--time") {
      if (i + 1 >= argc || !ParseTime(argv[i + 1], &arguments->time)) {
        *error = "--time needs MMDDHHMM: month 01-12, day 01-31, hour 00-23, minute 00-59";
        return false;
      }
      arguments->fixedTime = true;
      ++i;
    } else if (option.size() > 1 && option[0] == '-') {
      *error = "unknown option " + option;
      return false;
    } else {
      break;
    }
  }
  for (; i < argc; ++i) arguments->positional.push_back(argv[i]);
  if (arguments->positional.size() != 3) {
    *error = "expected NUMBER, NAME and OUT.wav";
    return false;
  }
  return true;
}

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "callerid-wave: %s\n", message.c_str());
  if (status == EXIT_USAGE) std::fputs(USAGE, stderr);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  std::string error;
  if (!ParseArguments(argc, argv, &arguments, &error)) return Fail(EXIT_USAGE, error);
  if (arguments.help) {
    std::fputs(USAGE, stdout);
    std::fputs(HELP, stdout);
    return EXIT_OK;
  }

  // The entry point's cut, as the program sends the caller.
  std::string number = CutForCallerId(arguments.positional[0]);
  std::string name = CutForCallerId(arguments.positional[1]);
  const std::string& path = arguments.positional[2];
  if (number.empty() && name.empty()) {
    return Fail(EXIT_USAGE, "NUMBER and NAME are both empty: the program sends nothing then");
  }

  CWave wave;
  wave.MakeCallerIdWave(number, name, arguments.fixedTime ? arguments.time : LocalTimeNow());
  if (!WriteWavFile(path, wave, &error))
    return Fail(EXIT_FAILED, "cannot write " + path + ": " + error);

  if (arguments.play) {
    if (!PLAYBACK_AVAILABLE) {
      std::fprintf(stderr,
                   "callerid-wave: --play: this build has no audio output; %s written, "
                   "nothing played\n",
                   path.c_str());
    } else if (!PlayToTheEnd(wave, &error)) {
      return Fail(EXIT_FAILED, "cannot play the signal: " + error);
    }
  }
  return EXIT_OK;
}

// Reads the program's resource script, so the simulated desktop builds its
// dialogs from the same templates that the resource compiler puts into the
// Windows program.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/os_types.h"

namespace sim {

struct DialogItem {
  std::string className;  // "Static", "Button", "Edit", ...
  std::string text;
  int id = 0;
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  os::LONG style = 0;
  os::LONG exStyle = 0;
};

struct DialogTemplate {
  int id = 0;
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  os::LONG style = 0;
  os::LONG exStyle = 0;
  std::string caption;
  std::string fontName;
  int fontSize = 8;
  std::vector<DialogItem> items;
};

struct MenuItem {
  std::string text;
  int id = 0;
  bool separator = false;
  bool grayed = false;
  std::vector<MenuItem> items;  // a popup's entries
};

class ResourceScript {
 public:
  // Parses the script and the headers it includes with quotes. Unknown
  // statements are skipped; a malformed dialog is reported on stderr.
  explicit ResourceScript(const std::string& path);

  const DialogTemplate* Dialog(int id) const;
  // A menu resource: its items are the menu bar's popups.
  const MenuItem* Menu(int id) const;
  bool HasIcon(int id) const;

 private:
  std::map<int, DialogTemplate> dialogs;
  std::map<int, MenuItem> menus;
  std::vector<int> icons;
};

}  // namespace sim

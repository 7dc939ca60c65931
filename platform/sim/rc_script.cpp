// A reader for the subset of the resource-script language the program uses:
// #define lines of quoted includes, ICON resources and DIALOG/DIALOGEX
// templates with their common control statements.
#include "platform/sim/rc_script.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace sim {

namespace {

struct Token {
  enum Kind { Word, Number, String, Punct, End } kind = End;
  std::string text;
  long value = 0;
};

const std::map<std::string, long>& KnownConstants() {
  static const std::map<std::string, long> constants = {
      {"WS_OVERLAPPED", 0x00000000},   {"WS_POPUP", 0x80000000L},      {"WS_CHILD", 0x40000000},
      {"WS_MINIMIZE", 0x20000000},     {"WS_VISIBLE", 0x10000000},     {"WS_DISABLED", 0x08000000},
      {"WS_CLIPSIBLINGS", 0x04000000}, {"WS_CLIPCHILDREN", 0x02000000}, {"WS_CAPTION", 0x00C00000},
      {"WS_BORDER", 0x00800000},       {"WS_DLGFRAME", 0x00400000},    {"WS_VSCROLL", 0x00200000},
      {"WS_HSCROLL", 0x00100000},      {"WS_SYSMENU", 0x00080000},     {"WS_THICKFRAME", 0x00040000},
      {"WS_GROUP", 0x00020000},        {"WS_TABSTOP", 0x00010000},     {"WS_MINIMIZEBOX", 0x00020000},
      {"WS_MAXIMIZEBOX", 0x00010000},  {"WS_EX_DLGMODALFRAME", 0x1},   {"WS_EX_TOPMOST", 0x8},
      {"WS_EX_TOOLWINDOW", 0x80},      {"WS_EX_CLIENTEDGE", 0x200},    {"WS_EX_STATICEDGE", 0x20000},
      {"WS_EX_APPWINDOW", 0x40000},    {"DS_ABSALIGN", 0x1},           {"DS_3DLOOK", 0x4},
      {"DS_FIXEDSYS", 0x8},            {"DS_SETFONT", 0x40},           {"DS_MODALFRAME", 0x80},
      {"DS_SETFOREGROUND", 0x200},     {"DS_CENTER", 0x800},           {"DS_SHELLFONT", 0x48},
      {"SS_LEFT", 0x0},                {"SS_CENTER", 0x1},             {"SS_RIGHT", 0x2},
      {"SS_ICON", 0x3},                {"SS_CENTERIMAGE", 0x200},      {"SS_NOTIFY", 0x100},
      {"SS_SUNKEN", 0x1000},           {"SS_NOPREFIX", 0x80},          {"ES_LEFT", 0x0},
      {"ES_AUTOHSCROLL", 0x80},        {"ES_READONLY", 0x800},         {"ES_NUMBER", 0x2000},
      {"BS_PUSHBUTTON", 0x0},          {"BS_DEFPUSHBUTTON", 0x1},      {"BS_CHECKBOX", 0x2},
      {"BS_AUTOCHECKBOX", 0x3},        {"BS_GROUPBOX", 0x7},           {"IDOK", 1},
      {"IDCANCEL", 2},                 {"IDC_STATIC", -1},
  };
  return constants;
}

class Parser {
 public:
  Parser(std::string text, std::map<std::string, long>& symbols)
      : text(std::move(text)), symbols(symbols) {}

  Token Next() {
    Token token = Peek();
    position = peekEnd;
    return token;
  }

  Token Peek() {
    std::size_t at = position;
    SkipSpace(at);
    Token token;
    if (at >= text.size()) {
      peekEnd = at;
      return token;
    }
    char c = text[at];
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      std::size_t start = at;
      while (at < text.size() && (std::isalnum(static_cast<unsigned char>(text[at])) || text[at] == '_')) ++at;
      token.kind = Token::Word;
      token.text = text.substr(start, at - start);
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      char* end = nullptr;
      token.value = static_cast<long>(std::strtoul(text.c_str() + at, &end, 0));
      at = static_cast<std::size_t>(end - text.c_str());
      while (at < text.size() && (text[at] == 'L' || text[at] == 'l' || text[at] == 'U' || text[at] == 'u')) ++at;
      token.kind = Token::Number;
    } else if (c == '"') {
      ++at;
      while (at < text.size()) {
        if (text[at] == '"' && at + 1 < text.size() && text[at + 1] == '"') {
          token.text += '"';
          at += 2;
        } else if (text[at] == '"') {
          ++at;
          break;
        } else if (text[at] == '\\' && at + 1 < text.size()) {
          char escaped = text[at + 1];
          token.text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
          at += 2;
        } else {
          token.text += text[at++];
        }
      }
      token.kind = Token::String;
    } else {
      token.kind = Token::Punct;
      token.text = std::string(1, c);
      ++at;
    }
    peekEnd = at;
    return token;
  }

  bool Accept(const std::string& punct) {
    Token token = Peek();
    if (token.kind != Token::Punct || token.text != punct) return false;
    Next();
    return true;
  }

  bool AtEndOfLine() {
    std::size_t at = position;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r')) ++at;
    return at >= text.size() || text[at] == '\n';
  }

  // A number, a symbol, or a bracketed or negated one.
  long Value() {
    if (Accept("-")) return -Value();
    if (Accept("(")) {
      long inner = Expression().first;
      Accept(")");
      return inner;
    }
    Token token = Next();
    if (token.kind == Token::Number) return token.value;
    if (token.kind == Token::Word) return Symbol(token.text);
    return 0;
  }

  // Bits set, and bits removed with NOT.
  std::pair<long, long> Expression() {
    long set = 0, removed = 0;
    do {
      Token token = Peek();
      if (token.kind == Token::Word && token.text == "NOT") {
        Next();
        removed |= Value();
      } else {
        set |= Value();
      }
    } while (Accept("|"));
    return {set, removed};
  }

  long Symbol(const std::string& name) {
    auto found = symbols.find(name);
    if (found != symbols.end()) return found->second;
    auto known = KnownConstants().find(name);
    if (known != KnownConstants().end()) return known->second;
    std::fprintf(stderr, "rc: unknown symbol %s\n", name.c_str());
    return 0;
  }

  std::string text;
  std::map<std::string, long>& symbols;
  std::size_t position = 0;
  std::size_t peekEnd = 0;

 private:
  void SkipSpace(std::size_t& at) {
    for (;;) {
      while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
      if (text.compare(at, 2, "//") == 0) {
        while (at < text.size() && text[at] != '\n') ++at;
      } else if (text.compare(at, 2, "/*") == 0) {
        std::size_t end = text.find("*/", at + 2);
        at = end == std::string::npos ? text.size() : end + 2;
      } else {
        return;
      }
    }
  }
};

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

// Handles #include "x" (its #defines) and #define; drops other lines.
std::string Preprocess(const std::string& text, const std::string& folder,
                       std::map<std::string, long>& symbols) {
  std::istringstream lines(text);
  std::string line, kept;
  while (std::getline(lines, line)) {
    std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] != '#') {
      kept += line + "\n";
      continue;
    }
    std::istringstream directive(line.substr(first + 1));
    std::string word;
    directive >> word;
    if (word == "include") {
      std::string name;
      directive >> name;
      if (name.size() > 2 && name.front() == '"') {
        std::string path = folder + "/" + name.substr(1, name.size() - 2);
        Preprocess(ReadWhole(path), folder, symbols);
      }
    } else if (word == "define") {
      std::string name, value;
      directive >> name >> value;
      if (!value.empty()) symbols[name] = std::strtol(value.c_str(), nullptr, 0);
    }
    kept += "\n";
  }
  return kept;
}

void ParseItemTail(Parser& parser, DialogItem& item, long defaultStyle) {
  item.x = static_cast<int>(parser.Value());
  parser.Accept(",");
  item.y = static_cast<int>(parser.Value());
  if (parser.Accept(",")) item.width = static_cast<int>(parser.Value());
  if (parser.Accept(",")) item.height = static_cast<int>(parser.Value());
  long style = defaultStyle;
  if (parser.Accept(",")) {
    auto bits = parser.Expression();
    style = (style | bits.first) & ~bits.second;
  }
  if (parser.Accept(",")) item.exStyle = static_cast<os::LONG>(parser.Expression().first);
  item.style = static_cast<os::LONG>(style);
}

bool ParseItem(Parser& parser, const std::string& keyword, DialogItem& item) {
  constexpr long VISIBLE = 0x10000000, GROUP = 0x00020000, TABSTOP = 0x00010000, BORDER = 0x00800000;
  struct Kind {
    const char* className;
    long style;
    bool hasText;
  };
  static const std::map<std::string, Kind> kinds = {
      {"LTEXT", {"Static", 0x0 | GROUP | VISIBLE, true}},
      {"CTEXT", {"Static", 0x1 | GROUP | VISIBLE, true}},
      {"RTEXT", {"Static", 0x2 | GROUP | VISIBLE, true}},
      {"ICON", {"Static", 0x3 | VISIBLE, true}},
      {"PUSHBUTTON", {"Button", 0x0 | TABSTOP | VISIBLE, true}},
      {"DEFPUSHBUTTON", {"Button", 0x1 | TABSTOP | VISIBLE, true}},
      {"AUTOCHECKBOX", {"Button", 0x3 | TABSTOP | VISIBLE, true}},
      {"CHECKBOX", {"Button", 0x2 | TABSTOP | VISIBLE, true}},
      {"GROUPBOX", {"Button", 0x7 | VISIBLE, true}},
      {"EDITTEXT", {"Edit", 0x0 | BORDER | TABSTOP | VISIBLE, false}},
  };
  if (keyword == "CONTROL") {
    item.text = parser.Next().text;
    parser.Accept(",");
    item.id = static_cast<int>(parser.Value());
    parser.Accept(",");
    item.className = parser.Next().text;
    parser.Accept(",");
    auto bits = parser.Expression();
    parser.Accept(",");
    DialogItem geometry;
    ParseItemTail(parser, geometry, 0);
    item.x = geometry.x, item.y = geometry.y, item.width = geometry.width, item.height = geometry.height;
    item.exStyle = geometry.exStyle;
    item.style = static_cast<os::LONG>((VISIBLE | bits.first) & ~bits.second);
    return true;
  }
  auto kind = kinds.find(keyword);
  if (kind == kinds.end()) return false;
  item.className = kind->second.className;
  if (kind->second.hasText) {
    Token text = parser.Next();
    item.text = text.kind == Token::String ? text.text : "";
    parser.Accept(",");
  }
  item.id = static_cast<int>(parser.Value());
  parser.Accept(",");
  ParseItemTail(parser, item, kind->second.style);
  return true;
}

bool ParseDialog(Parser& parser, DialogTemplate& dialog) {
  dialog.x = static_cast<int>(parser.Value());
  parser.Accept(",");
  dialog.y = static_cast<int>(parser.Value());
  parser.Accept(",");
  dialog.width = static_cast<int>(parser.Value());
  parser.Accept(",");
  dialog.height = static_cast<int>(parser.Value());
  for (;;) {
    Token word = parser.Next();
    if (word.kind != Token::Word) return false;
    if (word.text == "BEGIN") break;
    if (word.text == "STYLE") {
      dialog.style = static_cast<os::LONG>(parser.Expression().first);
    } else if (word.text == "EXSTYLE") {
      dialog.exStyle = static_cast<os::LONG>(parser.Expression().first);
    } else if (word.text == "CAPTION") {
      dialog.caption = parser.Next().text;
    } else if (word.text == "FONT") {
      dialog.fontSize = static_cast<int>(parser.Value());
      parser.Accept(",");
      dialog.fontName = parser.Next().text;
      while (!parser.AtEndOfLine()) parser.Next();
    } else {
      while (!parser.AtEndOfLine()) parser.Next();  // MENU, CLASS, LANGUAGE ...
    }
  }
  for (;;) {
    Token word = parser.Next();
    if (word.kind == Token::End) return false;
    if (word.kind != Token::Word) continue;
    if (word.text == "END") return true;
    DialogItem item;
    if (!ParseItem(parser, word.text, item)) return false;
    dialog.items.push_back(item);
  }
}

// BEGIN, then POPUP and MENUITEM statements up to the matching END.
bool ParseMenuBody(Parser& parser, MenuItem& menu) {
  if (parser.Next().text != "BEGIN") return false;
  for (;;) {
    Token word = parser.Next();
    if (word.kind == Token::End) return false;
    if (word.text == "END") return true;
    MenuItem item;
    if (word.text == "POPUP") {
      item.text = parser.Next().text;
      if (!ParseMenuBody(parser, item)) return false;
    } else if (word.text == "MENUITEM") {
      Token text = parser.Next();
      if (text.kind == Token::Word && text.text == "SEPARATOR") {
        item.separator = true;
      } else {
        item.text = text.text;
        parser.Accept(",");
        item.id = static_cast<int>(parser.Value());
        while (parser.Accept(",")) {
          Token flag = parser.Next();
          if (flag.text == "GRAYED") item.grayed = true;
        }
      }
    } else {
      return false;
    }
    menu.items.push_back(item);
  }
}

}  // namespace

ResourceScript::ResourceScript(const std::string& path) {
  std::string folder = path.substr(0, path.find_last_of('/'));
  std::map<std::string, long> symbols;
  Parser parser(Preprocess(ReadWhole(path), folder, symbols), symbols);
  Token previous;
  for (Token token = parser.Next(); token.kind != Token::End; token = parser.Next()) {
    bool named = previous.kind == Token::Word || previous.kind == Token::Number;
    if (token.kind == Token::Word && named) {
      auto id = [&] {
        return static_cast<int>(previous.kind == Token::Number ? previous.value
                                                               : parser.Symbol(previous.text));
      };
      if (token.text == "DIALOGEX" || token.text == "DIALOG") {
        DialogTemplate dialog;
        dialog.id = id();
        if (!ParseDialog(parser, dialog)) std::fprintf(stderr, "rc: dialog %d is malformed\n", dialog.id);
        dialogs[dialog.id] = dialog;
        previous = Token{};
        continue;
      }
      if (token.text == "MENU") {
        MenuItem menu;
        int menuId = id();
        if (!ParseMenuBody(parser, menu)) std::fprintf(stderr, "rc: menu %d is malformed\n", menuId);
        menus[menuId] = menu;
        previous = Token{};
        continue;
      }
      if (token.text == "ICON") icons.push_back(id());
    }
    previous = token;
  }
}

const DialogTemplate* ResourceScript::Dialog(int id) const {
  auto found = dialogs.find(id);
  return found == dialogs.end() ? nullptr : &found->second;
}

const MenuItem* ResourceScript::Menu(int id) const {
  auto found = menus.find(id);
  return found == menus.end() ? nullptr : &found->second;
}

bool ResourceScript::HasIcon(int id) const {
  for (int icon : icons) {
    if (icon == id) return true;
  }
  return false;
}

}  // namespace sim

// Parsing of the command line.
#include "options.h"

#include <charconv>

#include "platform/window.h"

namespace fishtank {

namespace {

constexpr int64_t kMaxFrames = int64_t{1} << 40;

bool ends_with(const std::string& s, const char* suffix) {
  std::string t(suffix);
  if (s.size() < t.size()) return false;
  for (size_t i = 0; i < t.size(); ++i) {
    char c = s[s.size() - t.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != t[i]) return false;
  }
  return true;
}

template <typename T>
bool parse_number(const std::string& text, T* out) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, *out);
  return ec == std::errc() && p == end;
}

}  // namespace

const char* usage_text() {
  return "Usage: fishtank [OPTION]...\n"
         "A full-screen high color aquarium. Escape or F12 ends it.\n"
         "\n"
         "  --windowed           a 640 x 480 window instead of the full screen\n"
         "  --headless           no window: render into memory (also without a display)\n"
         "  --frames N           stop after N animation steps (headless default 300)\n"
         "  --hold               with --frames: keep the last frame on screen until closed\n"
         "  --record FILE        write the frames shown as an animated FILE.gif, or the\n"
         "                       last one as FILE.png\n"
         "  --seed N             seed of the school of fish (default: the clock)\n"
         "  --assets DIR         folder of the pictures (default: beside the program,\n"
         "                       then the installed data folder next to it)\n"
         "  --desktop-depth B    headless desktop depth 8, 16, 24 or 32 (default 32)\n"
         "  --answer yes|no      headless answer to questions (default: the default button)\n"
         "  --help               this text\n"
         "  --version            the version\n"
         "\n"
         "Exit status: 0 normal end, 1 a picture or the display could not be used,\n"
         "2 bad usage.\n";
}

bool parse_options(const std::vector<std::string>& args, Options* out, std::string* error) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* v) {
      if (i + 1 >= args.size()) {
        *error = a + " needs a value";
        return false;
      }
      *v = args[++i];
      return true;
    };
    std::string v;
    if (a == "--windowed") {
      o.windowed = true;
    } else if (a == "--headless") {
      o.headless = true;
    } else if (a == "--hold") {
      o.hold = true;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--frames") {
      if (!value(&v)) return false;
      if (!parse_number(v, &o.frames) || o.frames < 0 || o.frames > kMaxFrames) {
        *error = "--frames takes a count of 0 or more, not '" + v + "'";
        return false;
      }
    } else if (a == "--record") {
      if (!value(&o.record)) return false;
      if (!ends_with(o.record, ".gif") && !ends_with(o.record, ".png")) {
        *error = "--record writes FILE.gif or FILE.png, not '" + o.record + "'";
        return false;
      }
    } else if (a == "--seed") {
      if (!value(&v)) return false;
      if (!parse_number(v, &o.seed)) {
        *error = "--seed takes a number 0..4294967295, not '" + v + "'";
        return false;
      }
      o.seed_given = true;
    } else if (a == "--assets") {
      if (!value(&o.assets)) return false;
    } else if (a == "--desktop-depth") {
      if (!value(&v)) return false;
      if (!parse_number(v, &o.desktop_depth) ||
          !(o.desktop_depth == 8 || o.desktop_depth == 16 || o.desktop_depth == 24 ||
            o.desktop_depth == 32)) {
        *error = "--desktop-depth takes 8, 16, 24 or 32, not '" + v + "'";
        return false;
      }
    } else if (a == "--answer") {
      if (!value(&v)) return false;
      if (v == "yes")
        o.answer = rx::platform::kAnswerYes;
      else if (v == "no")
        o.answer = rx::platform::kAnswerNo;
      else {
        *error = "--answer takes yes or no, not '" + v + "'";
        return false;
      }
    } else {
      *error = "unknown option '" + a + "'";
      return false;
    }
  }
  if (o.desktop_depth != 0 && !o.headless && !o.windowed) o.headless = true;
  if (o.desktop_depth != 0 && o.windowed) {
    *error = "--desktop-depth is for headless runs only";
    return false;
  }
  *out = o;
  return true;
}

}  // namespace fishtank

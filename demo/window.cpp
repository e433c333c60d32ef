// The application window and its message queue, shared by both backends.
// The queue is a fixed ring: the loop drains it every turn, so it never
// needs to grow.
#include "window.h"

#include <cstdio>

namespace fishtank {

namespace {

constexpr int kQueueSize = 64;

struct WindowState {
  WindowBackend* backend = nullptr;
  WindowProcedure procedure = nullptr;
  std::string class_name, title;
  bool exists = false;
  bool destroying = false;
  bool paint_queued = false;
  Message queue[kQueueSize]{};
  int head = 0, count = 0;
  int32_t box_answer = 0;
  bool box_printing = true;
  RxDC dc = nullptr;
  CallJournal journal = nullptr;
};

WindowState& window() {
  static WindowState w;
  return w;
}

bool push(Message m) {
  WindowState& w = window();
  if (w.count == kQueueSize) {
    if (m.id != kMsgQuit) return false;
    // Quit must get through: it replaces the newest message.
    --w.count;
  }
  w.queue[(w.head + w.count) % kQueueSize] = m;
  ++w.count;
  return true;
}

void note_call(const std::string& what) {
  if (window().journal) window().journal(what);
}

int32_t default_answer(int32_t style) {
  if ((style & 0xF) != kBoxYesNo) return kAnswerOk;
  return (style & kBoxDefaultSecond) ? kAnswerNo : kAnswerYes;
}

const char* answer_name(int32_t answer) {
  switch (answer) {
    case kAnswerYes:
      return "Yes";
    case kAnswerNo:
      return "No";
    default:
      return "OK";
  }
}

int32_t headless_box(const std::string& text, const std::string& caption, int32_t style) {
  WindowState& w = window();
  int32_t answer = w.box_answer != 0 ? w.box_answer : default_answer(style);
  if ((style & 0xF) != kBoxYesNo) answer = kAnswerOk;
  if (w.box_printing)
    std::fprintf(stderr, "%s: %s [%s]\n", caption.c_str(), text.c_str(), answer_name(answer));
  return answer;
}

}  // namespace

void set_window_backend(WindowBackend* backend) { window().backend = backend; }
void set_window_dc(RxDC dc) { window().dc = dc; }
RxDC window_dc() { return window().dc; }

bool create_window(const char* class_name, const char* title, WindowProcedure procedure) {
  WindowState& w = window();
  if (w.exists || procedure == nullptr) return false;
  w.class_name = class_name ? class_name : "";
  w.title = title ? title : "";
  w.procedure = procedure;
  w.exists = true;
  w.destroying = false;
  note_call("create_window " + w.class_name);
  procedure(kMsgCreate, 0);
  return true;
}

bool window_exists() { return window().exists; }
const std::string& window_title() { return window().title; }

void show_window() {
  WindowState& w = window();
  if (!w.exists) return;
  note_call("show_window");
  if (w.backend) w.backend->show();
  invalidate_window();
}

void destroy_window() {
  WindowState& w = window();
  if (!w.exists || w.destroying) return;
  w.destroying = true;
  note_call("destroy_window");
  w.procedure(kMsgDestroy, 0);
  w.exists = false;
  w.destroying = false;
  w.paint_queued = false;
  // Messages for the window die with it; a quit posted by its teardown stays.
  int kept = 0;
  for (int i = 0; i < w.count; ++i) {
    const Message& m = w.queue[(w.head + i) % kQueueSize];
    if (m.id == kMsgQuit) w.queue[(w.head + kept++) % kQueueSize] = m;
  }
  w.count = kept;
  if (w.backend) w.backend->window_destroyed();
}

int32_t default_window_procedure(int32_t message, int64_t) {
  if (message == kMsgClose) destroy_window();
  return 0;
}

void invalidate_window() {
  WindowState& w = window();
  if (!w.exists || w.paint_queued) return;
  if (push({kMsgPaint, 0})) w.paint_queued = true;
}

bool peek_message(Message* out) {
  WindowState& w = window();
  if (w.backend) w.backend->poll_events();
  if (w.count == 0 || out == nullptr) return false;
  *out = w.queue[w.head];
  w.head = (w.head + 1) % kQueueSize;
  --w.count;
  if (out->id == kMsgPaint) w.paint_queued = false;
  return true;
}

void wait_message(int32_t timeout_ms) {
  WindowState& w = window();
  if (w.backend && w.count == 0) w.backend->wait_events(timeout_ms);
}

int32_t dispatch_message(const Message& message) {
  WindowState& w = window();
  if (!w.exists || message.id == kMsgQuit) return 0;
  return w.procedure(message.id, message.param);
}

bool post_message(int32_t id, int64_t param) {
  if (id != kMsgQuit && !window().exists) return false;
  if (id == kMsgPaint) {
    invalidate_window();
    return true;
  }
  return push({id, param});
}

void post_quit_message(int32_t exit_status) {
  note_call("post_quit " + std::to_string(exit_status));
  push({kMsgQuit, exit_status});
}

int32_t message_box(const char* text, const char* caption, int32_t style) {
  WindowState& w = window();
  std::string t = text ? text : "", c = caption ? caption : "";
  note_call("message_box " + c + ": " + t);
  int32_t answer = w.backend ? w.backend->message_box(t, c, style) : 0;
  return answer != 0 ? answer : headless_box(t, c, style);
}

void message_beep() {
  note_call("beep");
  if (window().backend) window().backend->beep();
}

void set_message_box_answer(int32_t answer) { window().box_answer = answer; }
void set_message_box_printing(bool on) { window().box_printing = on; }

void set_call_journal(CallJournal journal) { window().journal = journal; }

void reset_window() {
  WindowState& w = window();
  WindowState kept = w;
  w = WindowState{};
  w.backend = kept.backend;
  w.dc = kept.dc;
  w.journal = kept.journal;
}

}  // namespace fishtank

// The tank's window shell: one application window, its message queue,
// message boxes and the beep, over the public window library or headless.
// Messages and key codes keep the numbers the tank's window procedure was
// written for. Without a window backend everything runs headless: the queue
// holds only what the program posts itself and message boxes are answered
// without asking anyone.
#pragma once

#include <cstdint>
#include <string>

#include "rastrix.h"

namespace fishtank {

enum WindowMessage : int32_t {
  kMsgCreate = 1,
  kMsgDestroy = 2,
  kMsgSetFocus = 7,
  kMsgPaint = 15,
  kMsgClose = 16,
  kMsgQuit = 18,
  kMsgKeyDown = 256,
};

enum KeyCode : int32_t { kKeyEscape = 27, kKeyF12 = 123 };  // as the window library's

// Message box styles (combined by or) and answers.
enum MessageBoxStyle : int32_t {
  kBoxOk = 0,
  kBoxYesNo = 4,
  kBoxIconError = 0x10,
  kBoxIconQuestion = 0x20,
  kBoxDefaultSecond = 0x100,
};
enum MessageBoxAnswer : int32_t { kAnswerOk = 1, kAnswerYes = 6, kAnswerNo = 7 };

struct Message {
  int32_t id;
  int64_t param;  // key code of kMsgKeyDown, exit status of kMsgQuit
};

// The program's handler of window messages; 0 when it handled the message.
using WindowProcedure = int32_t (*)(int32_t message, int64_t param);

// A real window system: shows the window, turns its events into messages
// (post_message) and asks the person at the screen.
class WindowBackend {
 public:
  virtual ~WindowBackend() = default;
  virtual void show() = 0;
  virtual void poll_events() = 0;
  virtual void wait_events(int32_t timeout_ms) = 0;
  // kAnswerOk, kAnswerYes or kAnswerNo; 0 when no box could be shown.
  virtual int32_t message_box(const std::string& text, const std::string& caption,
                              int32_t style) = 0;
  virtual void beep() = 0;
  virtual void window_destroyed() = 0;
};

void set_window_backend(WindowBackend* backend);  // null: headless

// --- The window ------------------------------------------------------------
// The device context the window draws on (the window library's or the
// headless screen's); start-up hands it to the library.
void set_window_dc(RxDC dc);
RxDC window_dc();
// Creates the window and sends it kMsgCreate before returning. false when a
// window exists already or the procedure is null.
bool create_window(const char* class_name, const char* title, WindowProcedure procedure);
bool window_exists();
const std::string& window_title();
void show_window();
// Sends kMsgDestroy; afterwards the window is gone and its messages dropped.
void destroy_window();
// What a procedure does with messages it leaves alone: close destroys.
int32_t default_window_procedure(int32_t message, int64_t param);
// Asks for one repaint of the whole window (at most one paint is queued).
void invalidate_window();

// --- The message queue -------------------------------------------------------
// Removes the oldest message into *out; false when the queue is empty.
bool peek_message(Message* out);
// Sleeps until the window system has an event or timeout_ms has passed.
void wait_message(int32_t timeout_ms);
int32_t dispatch_message(const Message& message);
// false when the queue is full (the message is dropped; quit always fits).
bool post_message(int32_t id, int64_t param);
void post_quit_message(int32_t exit_status);

// --- Asking the person -------------------------------------------------------
int32_t message_box(const char* text, const char* caption, int32_t style);
void message_beep();

// --- Headless controls -------------------------------------------------------
// Called with every step the window takes (create, show, message box,
// destroy, quit), e.g. to log them beside the library's own calls.
using CallJournal = void (*)(const std::string& what);
void set_call_journal(CallJournal journal);
// Answer of headless message boxes; 0 takes the box's default button.
void set_message_box_answer(int32_t answer);
// Whether headless message boxes print their question and answer.
void set_message_box_printing(bool on);
// Forgets the window, its queue and the answer (tests start clean).
void reset_window();

}  // namespace fishtank

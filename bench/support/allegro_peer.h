// Allegro 4 as a benchmark peer: its header, and the library started once
// for every benchmark that uses it.
#pragma once

#ifdef RASTRIX_HAVE_ALLEGRO
#include <cerrno>
#include <cstdlib>

#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

namespace rx::bench {

// Without a system driver Allegro has no timer, yet its flic player
// installs one; this one never ticks, as benchmarks play without delays.
// The timer module also wants mutexes, which nothing here contends for.
inline int quiet_mutex;
inline void* quiet_create_mutex() { return &quiet_mutex; }
inline void quiet_mutex_call(void*) {}
inline int quiet_init() { return 0; }
inline void quiet_exit() {}
inline int quiet_install(void (*)(), long) { return 0; }
inline void quiet_remove(void (*)()) {}
inline int quiet_install_param(void (*)(void*), void*, long) { return 0; }
inline void quiet_remove_param(void (*)(void*), void*) {}
inline TIMER_DRIVER quiet_timer = {
    AL_ID('Q', 'U', 'I', 'T'), "quiet", "quiet", "quiet", quiet_init, quiet_exit, quiet_install,
    quiet_remove, quiet_install_param, quiet_remove_param, nullptr, nullptr, nullptr};
inline _DRIVER_INFO quiet_timer_list[] = {{quiet_timer.id, &quiet_timer, true}, {0, nullptr, 0}};
inline _DRIVER_INFO* quiet_timers() { return quiet_timer_list; }

// Allegro without a system driver: memory bitmaps only, and the quiet
// timer. False when it could not be started.
inline bool start_allegro() {
  static const bool started = [] {
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return false;
    system_none.timer_drivers = quiet_timers;
    system_none.create_mutex = quiet_create_mutex;
    system_none.destroy_mutex = quiet_mutex_call;
    system_none.lock_mutex = quiet_mutex_call;
    system_none.unlock_mutex = quiet_mutex_call;
    return install_timer() == 0;
  }();
  return started;
}

}  // namespace rx::bench
#endif

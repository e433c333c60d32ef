// SDL2, opened when the first window is rather than when a program starts:
// a program that links the window library but draws headless (rxtool
// decode, tests) loads none of SDL's libraries and their dependencies.
#pragma once

#include <SDL.h>

// From SDL_syswm.h, which brings the X headers and their plain names.
struct SDL_SysWMinfo;

namespace rx::platform::window_backend {

// The SDL calls the backend makes, by their SDL names without the prefix.
struct SdlCalls {
  decltype(&SDL_CreateRenderer) CreateRenderer;
  decltype(&SDL_CreateTexture) CreateTexture;
  decltype(&SDL_CreateWindow) CreateWindow;
  decltype(&SDL_DestroyRenderer) DestroyRenderer;
  decltype(&SDL_DestroyTexture) DestroyTexture;
  decltype(&SDL_DestroyWindow) DestroyWindow;
  decltype(&SDL_GetCurrentDisplayMode) GetCurrentDisplayMode;
  decltype(&SDL_GetCurrentVideoDriver) GetCurrentVideoDriver;
  decltype(&SDL_GetDesktopDisplayMode) GetDesktopDisplayMode;
  decltype(&SDL_GetDisplayMode) GetDisplayMode;
  decltype(&SDL_GetNumDisplayModes) GetNumDisplayModes;
  decltype(&SDL_GetTicks) GetTicks;
  decltype(&SDL_GetWindowDisplayIndex) GetWindowDisplayIndex;
  SDL_bool (*GetWindowWMInfo)(SDL_Window*, SDL_SysWMinfo*);
  decltype(&SDL_InitSubSystem) InitSubSystem;
  decltype(&SDL_PollEvent) PollEvent;
  decltype(&SDL_Quit) Quit;
  decltype(&SDL_QuitSubSystem) QuitSubSystem;
  decltype(&SDL_RaiseWindow) RaiseWindow;
  decltype(&SDL_RenderClear) RenderClear;
  decltype(&SDL_RenderCopy) RenderCopy;
  decltype(&SDL_RenderPresent) RenderPresent;
  decltype(&SDL_RenderSetLogicalSize) RenderSetLogicalSize;
  decltype(&SDL_RenderSetVSync) RenderSetVSync;
  decltype(&SDL_SetHint) SetHint;
  decltype(&SDL_SetRenderDrawColor) SetRenderDrawColor;
  decltype(&SDL_SetWindowSize) SetWindowSize;
  decltype(&SDL_ShowMessageBox) ShowMessageBox;
  decltype(&SDL_ShowWindow) ShowWindow;
  decltype(&SDL_UpdateTexture) UpdateTexture;
  decltype(&SDL_WaitEventTimeout) WaitEventTimeout;
};

// The calls, loaded on first use; nullptr when SDL2 is not installed.
const SdlCalls* sdl_calls();
// The loaded calls: only after sdl_calls() has returned them.
inline const SdlCalls& sdl() { return *sdl_calls(); }

}  // namespace rx::platform::window_backend

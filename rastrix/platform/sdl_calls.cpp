#include "platform/sdl_calls.h"

#include <dlfcn.h>

namespace rx::platform::window_backend {

namespace {

constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";  // SDL2's stable soname

template <class Call>
bool load(void* library, const char* name, Call& call) {
  call = reinterpret_cast<Call>(dlsym(library, name));
  return call != nullptr;
}

bool load_all(void* library, SdlCalls& c) {
  return load(library, "SDL_CreateRenderer", c.CreateRenderer) &&
         load(library, "SDL_CreateTexture", c.CreateTexture) &&
         load(library, "SDL_CreateWindow", c.CreateWindow) &&
         load(library, "SDL_DestroyRenderer", c.DestroyRenderer) &&
         load(library, "SDL_DestroyTexture", c.DestroyTexture) &&
         load(library, "SDL_DestroyWindow", c.DestroyWindow) &&
         load(library, "SDL_GetCurrentDisplayMode", c.GetCurrentDisplayMode) &&
         load(library, "SDL_GetCurrentVideoDriver", c.GetCurrentVideoDriver) &&
         load(library, "SDL_GetDesktopDisplayMode", c.GetDesktopDisplayMode) &&
         load(library, "SDL_GetDisplayMode", c.GetDisplayMode) &&
         load(library, "SDL_GetNumDisplayModes", c.GetNumDisplayModes) &&
         load(library, "SDL_GetTicks", c.GetTicks) &&
         load(library, "SDL_GetWindowDisplayIndex", c.GetWindowDisplayIndex) &&
         load(library, "SDL_GetWindowWMInfo", c.GetWindowWMInfo) &&
         load(library, "SDL_InitSubSystem", c.InitSubSystem) &&
         load(library, "SDL_PollEvent", c.PollEvent) &&
         load(library, "SDL_Quit", c.Quit) &&
         load(library, "SDL_QuitSubSystem", c.QuitSubSystem) &&
         load(library, "SDL_RaiseWindow", c.RaiseWindow) &&
         load(library, "SDL_RenderClear", c.RenderClear) &&
         load(library, "SDL_RenderCopy", c.RenderCopy) &&
         load(library, "SDL_RenderPresent", c.RenderPresent) &&
         load(library, "SDL_RenderSetLogicalSize", c.RenderSetLogicalSize) &&
         load(library, "SDL_RenderSetVSync", c.RenderSetVSync) &&
         load(library, "SDL_SetHint", c.SetHint) &&
         load(library, "SDL_SetRenderDrawColor", c.SetRenderDrawColor) &&
         load(library, "SDL_SetWindowSize", c.SetWindowSize) &&
         load(library, "SDL_ShowMessageBox", c.ShowMessageBox) &&
         load(library, "SDL_ShowWindow", c.ShowWindow) &&
         load(library, "SDL_UpdateTexture", c.UpdateTexture) &&
         load(library, "SDL_WaitEventTimeout", c.WaitEventTimeout);
}

}  // namespace

const SdlCalls* sdl_calls() {
  static const SdlCalls* calls = [] {
    static SdlCalls loaded{};
    // Kept open for the life of the program: SDL cannot be unloaded safely.
    void* library = dlopen(kSdlLibrary, RTLD_NOW | RTLD_LOCAL);
    return library != nullptr && load_all(library, loaded) ? &loaded : nullptr;
  }();
  return calls;
}

}  // namespace rx::platform::window_backend

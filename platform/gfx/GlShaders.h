// GLSL sources of the GL back-end: the one program that implements the
// fixed-function formulas the engine relies on, and the program that shows
// the back buffer in the window with the gamma ramp applied.
#pragma once

namespace tge::gfx {

extern const char* const kFixedFunctionVertexShader;
extern const char* const kFixedFunctionFragmentShader;
extern const char* const kPresentVertexShader;
extern const char* const kPresentFragmentShader;

}  // namespace tge::gfx

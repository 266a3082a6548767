#pragma once
// The OpenGL context the views draw with: a compatibility profile, so that
// immediate mode, fixed-function lighting and the matrix stacks are there.
// Must be called before the application object is created.
void requestCompatibilityContext();

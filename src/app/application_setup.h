#pragma once

namespace app {

// Names the application, loads Qt's Chinese texts for the standard buttons
// (确定, 取消, 是, 否) and the Chinese fonts. No display name is set: the window
// system would append it to every caption ("提示 — …"), and the captions of
// the message boxes are meant to stand alone.
void configureApplication();

} // namespace app

#pragma once

// Runs the app: prepares directories, fonts, style and the main window, runs
// the event loop and returns its exit code.
int kv_start(int argc, char** argv);
